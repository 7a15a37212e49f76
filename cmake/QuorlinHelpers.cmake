# quorlin_folder(ENGINE files... EXCLUDE files...): adds every source of the calling folder to the libraries. The files named
# after ENGINE go into the widget-free engine library (Qt Core only, so a widget include there fails to
# build); all others but the EXCLUDE ones go into the widget library above it.
function(quorlin_folder)
  cmake_parse_arguments(ARG "" "" "ENGINE;EXCLUDE" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
  set(engine)
  foreach(f ${ARG_ENGINE})
    list(APPEND engine ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  set(widgets ${all})
  foreach(f ${ARG_EXCLUDE})
    list(REMOVE_ITEM widgets ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  if(engine)
    list(REMOVE_ITEM widgets ${engine})
    target_sources(quorlin_engine PRIVATE ${engine})
  endif()
  if(widgets)
    target_sources(quorlin_widgets PRIVATE ${widgets})
  endif()
endfunction()

# quorlin_add_executable(name sources...): an executable linked to the widget library and its resources.
function(quorlin_add_executable name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:quorlin_resources>)
  target_link_libraries(${name} PRIVATE quorlin_widgets)
endfunction()

# quorlin_add_test(name [ENGINE] sources... [RUN_INSIDE command...]): a QtTest executable registered with
# CTest; with ENGINE it links the engine library only; RUN_INSIDE starts it through another command (such
# as dbus-run-session --). Tests run offscreen, in the program's folder, so they see the same staged data
# the program does.
function(quorlin_add_test name)
  cmake_parse_arguments(ARG "ENGINE" "" "RUN_INSIDE" ${ARGN})
  if(ARG_ENGINE)
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS} $<TARGET_OBJECTS:quorlin_resources>)
    target_link_libraries(${name} PRIVATE quorlin_engine)
  else()
    quorlin_add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  endif()
  target_link_libraries(${name} PRIVATE Qt5::Test)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  add_dependencies(${name} stage_data)
  add_test(NAME ${name} COMMAND ${ARG_RUN_INSIDE} $<TARGET_FILE:${name}> WORKING_DIRECTORY ${QUORLIN_APP_DIR})
  # The per-user settings and data of every test go to the build folder, never to the user's own, and no two
  # tests share them.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/tests/home/${name}/config;XDG_DATA_HOME=${PROJECT_BINARY_DIR}/tests/home/${name}/data"
    TIMEOUT 300)
endfunction()
