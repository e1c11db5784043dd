# PROGRAM --help prints its usage (USAGE, a pattern) on standard output, says
# nothing on standard error and ends with code 0, starting nothing.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code
                TIMEOUT 20)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help ended with ${code}, not 0:\n${out}\n${err}")
endif()
if(NOT out MATCHES "${USAGE}")
  message(FATAL_ERROR "${PROGRAM} --help printed:\n${out}\nnot ${USAGE}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help complained:\n${err}")
endif()
