cmake_minimum_required(VERSION 3.16)
# Makes the templates twice, more than a zip time step (2 s) apart and in different time zones, and checks that
# the two folders hold the same bytes: no clock may reach the files. A third run shows SOURCE_DATE_EPOCH is the
# date they carry
# (cmake -DTOOL=<quorlin-maketemplates> -DWORK=<scratch folder> -P CheckReproducibleTemplates.cmake).
file(REMOVE_RECURSE ${WORK})
foreach(run first second)
  if(run STREQUAL "second")
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 2.2)
    set(zone Asia/Shanghai)
  else()
    set(zone America/New_York)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=${zone} --unset=SOURCE_DATE_EPOCH ${TOOL} ${WORK}/${run}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the template maker failed: ${result}")
  endif()
endforeach()
file(GLOB made RELATIVE ${WORK}/first ${WORK}/first/*)
list(LENGTH made count)
if(count LESS 5)
  message(FATAL_ERROR "the template maker made only: ${made}")
endif()
foreach(name ${made})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/first/${name} ${WORK}/second/${name}
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name} differs between two runs of the template maker")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1700000000 ${TOOL} ${WORK}/epoch)
file(STRINGS ${WORK}/epoch/PDF.pdf stamp REGEX "CreationDate")
if(NOT stamp MATCHES "D:20231114221320Z")
  message(FATAL_ERROR "the PDF does not carry SOURCE_DATE_EPOCH: ${stamp}")
endif()
