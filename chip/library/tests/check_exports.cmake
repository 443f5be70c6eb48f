# Checks that a shared library exports exactly the names of a module-definition file.
# Run as: cmake -DLIBRARY=... -DDEF=... -DNM=... -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} -D ${LIBRARY} failed")
endif()
# Lines of the form "address type name".
string(REGEX MATCHALL "[^ \n]+\n" names "${dump}")
list(TRANSFORM names STRIP)

include(${CMAKE_CURRENT_LIST_DIR}/../../../bridge/exports.cmake)
ksthid_def_exports(expected ${DEF})
list(SORT expected)
list(SORT names)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports ${names}, not ${expected}")
endif()
