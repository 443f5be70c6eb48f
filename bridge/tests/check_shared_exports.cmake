# Checks that a shared library exports exactly the names of ksthid.def that
# exist on this system, plus the OLE functions ksthid_ole.h declares.
# Run as: cmake -DLIBRARY=... -DDEF=... -DOLE_HEADER=... -DNM=... -P check_shared_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} -D ${LIBRARY} failed")
endif()

# Lines of the form "address type name".
string(REGEX MATCHALL "[^ \n]+\n" names "${dump}")
list(TRANSFORM names STRIP)

include(${CMAKE_CURRENT_LIST_DIR}/../exports.cmake)
ksthid_unix_exports(expected ${DEF} ${OLE_HEADER})

list(SORT expected)
list(SORT names)
if(NOT names STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${names})
  set(extra ${names})
  list(REMOVE_ITEM extra ${expected})
  message(FATAL_ERROR "${LIBRARY} lacks: ${missing}\nexports besides: ${extra}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY}: exactly the ${count} listed exports")
