# The document templates of the create page, made at build time by tools/maketemplates (the project's own
# Office Open XML writers, libxlsxwriter, QPdfWriter) into the program's folder, ahead of the tests that use them.
set(QUORLIN_TEMPLATE_FILES Word.docx Excel.xlsx PPT.pptx PDF.pdf Txt.txt)
set(template_outputs)
foreach(f ${QUORLIN_TEMPLATE_FILES})
  list(APPEND template_outputs ${QUORLIN_APP_DIR}/template/${f})
endforeach()
add_custom_command(OUTPUT ${template_outputs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:quorlin-maketemplates> ${QUORLIN_APP_DIR}/template
  DEPENDS quorlin-maketemplates
  COMMENT "Making the document templates"
  VERBATIM)
add_custom_target(templates DEPENDS ${template_outputs})
add_dependencies(stage_data templates)
