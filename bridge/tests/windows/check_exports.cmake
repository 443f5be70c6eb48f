# Checks a DLL's export table against its module-definition file: each export
# under its plain name (no @-suffix of a __stdcall function, no leading
# underscore) and nothing else; and that it imports no MinGW runtime DLL.
# Run as: cmake -DDLL=... -DDEF=... -DOBJDUMP=... -P check_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../../exports.cmake)
ksthid_def_exports(expected ${DEF})

# Square brackets would upset CMake's lists.
string(REPLACE "[" "(" dump "${dump}")
string(REPLACE "]" ")" dump "${dump}")
set(table_title "(Ordinal/Name Pointer) Table\n")
string(FIND "${dump}" "${table_title}" table_start)
if(table_start EQUAL -1)
  message(FATAL_ERROR "${DLL} has no export table")
endif()
string(LENGTH "${table_title}" title_length)
math(EXPR table_start "${table_start} + ${title_length}")
string(SUBSTRING "${dump}" ${table_start} -1 table)
string(FIND "${table}" "\n\n" table_end)
string(SUBSTRING "${table}" 0 ${table_end} table)
# Lines of the form "(   0) name".
string(REGEX MATCHALL "\\) [^\n]+" entries "${table}")
set(exported)
foreach(entry IN LISTS entries)
  string(SUBSTRING "${entry}" 2 -1 name)
  list(APPEND exported ${name})
endforeach()

list(SORT expected)
list(SORT exported)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports\n  ${exported}\nbut ${DEF} lists\n  ${expected}")
endif()
list(LENGTH exported count)
message(STATUS "${DLL}: all ${count} exports under their plain names")

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  if(import MATCHES "DLL Name: (lib|LIB)")
    message(FATAL_ERROR "${DLL} needs a runtime DLL beside it: ${import}")
  endif()
endforeach()
