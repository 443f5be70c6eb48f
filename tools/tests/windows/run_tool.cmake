# Runs a Windows build of a tool under Wine with ARGS (and ENVIRONMENT, NAME=VALUE items
# separated by spaces), and checks its exit status against STATUS and what it wrote, standard
# output then standard error, against the regular expression EXPECTED. With CHIP, the last chip
# line of the packet trace TRACE ("T C PATH dvr=N eeprom=N") must contain CHIP.
separate_arguments(args UNIX_COMMAND "${ARGS}")
separate_arguments(environment UNIX_COMMAND "${ENVIRONMENT}")
file(REMOVE ${TRACE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} ${RUN} ${TOOL} ${args}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 77)
  # The wine-run script has said why; the test's skip expression matches that.
  message("${err}")
  return()
endif()
string(REPLACE "\r\n" "\n" written "${out}${err}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}:\n${written}")
endif()
if(NOT written MATCHES "${EXPECTED}")
  message(FATAL_ERROR "expected /${EXPECTED}/ in:\n${written}")
endif()
if(CHIP)
  file(STRINGS ${TRACE} chip_lines REGEX "^[0-9]+ C ")
  list(POP_BACK chip_lines last)
  if(NOT last MATCHES "${CHIP}")
    message(FATAL_ERROR "expected the chip at '${CHIP}' at the end of the trace, found '${last}'")
  endif()
endif()
