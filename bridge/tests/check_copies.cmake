# What keeps copies of ksthid_api.h's numbers must say the same: the udev
# rule its USB identity, the Python binding its size limits and, with the
# tools (firmware_version_text.h), the English month names of the firmware
# version.
#   cmake -DHEADER=ksthid_api.h -DUDEV_RULE=70-ksthid.rules
#         -DMONTHS=firmware_version_text.h -DPYTHON=limits.py -P this

file(READ ${HEADER} header)
file(READ ${PYTHON} python)
set(mismatches)

# The rule names the identity in lower-case hexadecimal, without 0x.
file(READ ${UDEV_RULE} rule)
foreach(pair idVendor=KSTHID_VENDOR_ID idProduct=KSTHID_PRODUCT_ID)
  string(REPLACE "=" ";" names ${pair})
  list(GET names 0 attribute)
  list(GET names 1 macro)
  string(REGEX MATCH "#define ${macro} 0x([0-9A-Fa-f]+)" found "${header}")
  string(TOLOWER "${CMAKE_MATCH_1}" header_value)
  string(REGEX MATCH "ATTRS{${attribute}}==\"([0-9a-f]+)\"" found "${rule}")
  if(header_value STREQUAL "" OR NOT CMAKE_MATCH_1 STREQUAL header_value)
    list(APPEND mismatches "${UDEV_RULE}: ${attribute} '${CMAKE_MATCH_1}'; ${macro} 0x${header_value}")
  endif()
endforeach()

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
    list(APPEND mismatches "${PYTHON}: ${python_name} = '${python_value}'; ${macro} ${header_value}")
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
  list(APPEND mismatches "${PYTHON}: kMonths ${python_months}; kEnglishMonthNames ${library_months}")
endif()

if(mismatches)
  list(JOIN mismatches "\n  " mismatches)
  message(FATAL_ERROR "copies that differ from the library's:\n  ${mismatches}")
endif()
