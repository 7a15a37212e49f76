# quorlin_add_executable(name sources...): an executable linked to the core library and its resources.
function(quorlin_add_executable name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:quorlin_resources>)
  target_link_libraries(${name} PRIVATE quorlin_core)
endfunction()

# quorlin_add_test(name sources...): a QtTest executable registered with CTest. Tests run offscreen, in the
# program's folder, so they see the same staged data the program does.
function(quorlin_add_test name)
  quorlin_add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE Qt5::Test)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Tests read the same staged data as the program.
  add_dependencies(${name} stage_data)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${QUORLIN_APP_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()
