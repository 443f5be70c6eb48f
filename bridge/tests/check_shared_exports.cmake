# Checks that a shared library exports exactly the names of its module-definition
# file: ksthid.def's that exist on this system plus the OLE functions ksthid_ole.h
# declares (given as OLE_HEADER), or every name of another library's file.
# Run as: cmake -DLIBRARY=... -DDEF=... [-DOLE_HEADER=...] -DNM=... -P check_shared_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} -D ${LIBRARY} failed")
endif()

# Lines of the form "address type name".
string(REGEX MATCHALL "[^ \n]+\n" names "${dump}")
list(TRANSFORM names STRIP)

include(${CMAKE_CURRENT_LIST_DIR}/../exports.cmake)
if(OLE_HEADER)
  ksthid_unix_exports(expected ${DEF} ${OLE_HEADER})
else()
  ksthid_def_exports(expected ${DEF})
endif()

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
