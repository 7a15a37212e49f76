# The document templates of the create page, made at build time by tools/maketemplates (the project's own
# Office Open XML writers, libxlsxwriter, QPdfWriter) into the program's folder, ahead of the tests that use them.
# Every time inside them is SOURCE_DATE_EPOCH: from the environment when set, else the last commit's time,
# else the tool's fixed date; never the build clock, so two builds of one commit give the same bytes.
set(QUORLIN_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(QUORLIN_SOURCE_DATE_EPOCH STREQUAL "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE QUORLIN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
set(QUORLIN_TEMPLATE_FILES Word.docx Excel.xlsx PPT.pptx PDF.pdf Txt.txt)
set(template_outputs)
foreach(f ${QUORLIN_TEMPLATE_FILES})
  list(APPEND template_outputs ${QUORLIN_APP_DIR}/template/${f})
endforeach()
add_custom_command(OUTPUT ${template_outputs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=${QUORLIN_SOURCE_DATE_EPOCH}
          $<TARGET_FILE:quorlin-maketemplates> ${QUORLIN_APP_DIR}/template
  DEPENDS quorlin-maketemplates
  COMMENT "Making the document templates"
  VERBATIM)
add_custom_target(templates DEPENDS ${template_outputs})
add_dependencies(stage_data templates)
