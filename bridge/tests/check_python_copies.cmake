# The Python binding keeps its own copies of what ksthid_api.h states (the
# size limits) and of the English month names the tools write the firmware
# version with (firmware_version_text.h); they must say the same.
#   cmake -DHEADER=ksthid_api.h -DMONTHS=firmware_version_text.h -DPYTHON=board.py -P this

file(READ ${HEADER} header)
file(READ ${PYTHON} python)
set(mismatches)

foreach(pair kI2CMaxRead=KSTHID_I2C_MAX_READ kI2CMaxWriteAlone=KSTHID_I2C_MAX_WRITE
        kI2CMaxWriteAfterRegister=KSTHID_I2C_MAX_WRITE_WITH_REGISTER
        kSPIMaxTransfer=KSTHID_SPI_MAX_TRANSFER)
  string(REPLACE "=" ";" names ${pair})
  list(GET names 0 python_name)
  list(GET names 1 macro)
  string(REGEX MATCH "#define ${macro} ([0-9]+)" found "${header}")
  set(header_value ${CMAKE_MATCH_1})
  string(REGEX MATCH "\n${python_name} = ([0-9]+)" found "${python}")
  set(python_value ${CMAKE_MATCH_1})
  if(header_value STREQUAL "" OR NOT python_value STREQUAL header_value)
    list(APPEND mismatches "${python_name} = '${python_value}'; ${macro} ${header_value}")
  endif()
endforeach()

# The quoted words of the first list after `start` up to `end`.
function(month_names out text start end)
  string(FIND "${text}" "${start}" from)
  string(SUBSTRING "${text}" ${from} -1 rest)
  string(FIND "${rest}" "${end}" to)
  string(SUBSTRING "${rest}" 0 ${to} list)
  string(REGEX MATCHALL "\"[A-Za-z]+\"" names "${list}")
  set(${out} "${names}" PARENT_SCOPE)
endfunction()
file(READ ${MONTHS} months)
month_names(library_months "${months}" "kEnglishMonthNames" "};")
month_names(python_months "${python}" "kMonths =" ")")
list(LENGTH library_months count)
if(NOT count EQUAL 12 OR NOT python_months STREQUAL library_months)
  list(JOIN python_months " " python_months)
  list(JOIN library_months " " library_months)
  list(APPEND mismatches "kMonths ${python_months}; kEnglishMonthNames ${library_months}")
endif()

if(mismatches)
  list(JOIN mismatches "\n  " mismatches)
  message(FATAL_ERROR "${PYTHON} differs from the library:\n  ${mismatches}")
endif()
