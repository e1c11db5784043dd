# Runs the sample world for DAYS days: every day prints its line, the run
# ends with code 0 and says nothing of a sanitizer.
execute_process(COMMAND ${RUNNER} --days ${DAYS} Channel WORKING_DIRECTORY ${GAME_DIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
message(STATUS "${err}")
if(NOT code EQUAL 0)
  message(FATAL_ERROR "the run ended with ${code}:\n${err}")
endif()
if(err MATCHES "Sanitizer|runtime error")
  message(FATAL_ERROR "the run reported:\n${err}")
endif()
string(REGEX MATCHALL "day [^\n]*" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL DAYS)
  message(FATAL_ERROR "${count} day lines for ${DAYS} days:\n${out}")
endif()
# Every day counts the hexes that changed hands since the day before.
foreach(line IN LISTS lines)
  if(NOT line MATCHES " taken [0-9]+ ")
    message(FATAL_ERROR "a day line without its count of hexes taken:\n${line}")
  endif()
endforeach()
