# Compiles one HTML Help project with chmcmd in a scratch folder of the build
# tree (so nothing is written beside the sources) and copies the result to
# OUTPUT. chmcmd exits with 0 even when a page links to a file that is not
# there, so its complaints are treated as errors too.
# Arguments: CHMCMD, PROJECT (the .hhp), WORK_DIR, OUTPUT.

foreach(arg CHMCMD PROJECT WORK_DIR OUTPUT)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "CompileHelp.cmake: ${arg} is not set")
  endif()
endforeach()

# The compiled file's name as the project states it.
file(STRINGS ${PROJECT} compiled_line REGEX "^Compiled file=")
string(REGEX REPLACE "^Compiled file=[ \t]*" "" compiled_name "${compiled_line}")
string(STRIP "${compiled_name}" compiled_name)
if(compiled_name STREQUAL "")
  message(FATAL_ERROR "${PROJECT}: no 'Compiled file=' line")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CHMCMD} ${PROJECT}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)

set(log "${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "chmcmd failed (${status}) on ${PROJECT}:\n${log}")
endif()
if(log MATCHES "[Ww]arning|[Ee]rror|Unable|[Ee]xception|[Mm]issing")
  message(FATAL_ERROR "chmcmd complained about ${PROJECT}:\n${log}")
endif()

set(chm ${WORK_DIR}/${compiled_name})
if(NOT EXISTS ${chm})
  message(FATAL_ERROR "chmcmd wrote no ${compiled_name} for ${PROJECT}:\n${log}")
endif()
file(SIZE ${chm} chm_size)
if(chm_size EQUAL 0)
  message(FATAL_ERROR "chmcmd wrote an empty ${compiled_name} for ${PROJECT}:\n${log}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
execute_process(COMMAND ${CMAKE_COMMAND} -E copy ${chm} ${OUTPUT} RESULT_VARIABLE copy_status)
if(NOT copy_status EQUAL 0)
  message(FATAL_ERROR "could not copy ${chm} to ${OUTPUT}")
endif()
