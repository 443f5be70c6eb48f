# Read by cpack for each generator it runs.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_QV6180_INSTALLER_NAME})
endif()
