# Stages into the program's folder what it reads at run time: the OpenCC configurations with their
# dictionaries, and the help pages.
find_path(OPENCC_DATA_DIR s2t.json PATHS /usr/share/opencc /usr/local/share/opencc NO_DEFAULT_PATH)
set(QUORLIN_OPENCC_FILES s2t.json t2s.json STPhrases.ocd2 STCharacters.ocd2 TSPhrases.ocd2 TSCharacters.ocd2)
set(staged)
foreach(f ${QUORLIN_OPENCC_FILES})
  if(OPENCC_DATA_DIR AND EXISTS ${OPENCC_DATA_DIR}/${f})
    add_custom_command(OUTPUT ${QUORLIN_APP_DIR}/${f}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OPENCC_DATA_DIR}/${f} ${QUORLIN_APP_DIR}/${f}
      DEPENDS ${OPENCC_DATA_DIR}/${f})
    list(APPEND staged ${QUORLIN_APP_DIR}/${f})
  else()
    message(WARNING "OpenCC data file ${f} not found: script conversion will be unavailable")
  endif()
endforeach()

file(GLOB_RECURSE help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/help/*)
foreach(f ${help_files})
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/resources/help ${f})
  add_custom_command(OUTPUT ${QUORLIN_APP_DIR}/help/${rel}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${QUORLIN_APP_DIR}/help/${rel}
    DEPENDS ${f})
  list(APPEND staged ${QUORLIN_APP_DIR}/help/${rel})
endforeach()

add_custom_target(stage_data ALL DEPENDS ${staged})
