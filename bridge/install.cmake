# How ksthid is versioned and installed, in the components the packages are
# made of: runtime (the shared library), development (headers, link library,
# pkg-config and CMake files) and tools (the udev rule that opens real boards
# to the user).
include(CMakePackageConfigHelpers)

# The header states the version callers compile against; the library carries
# the same.
file(STRINGS include/ksthid.h version_lines REGEX "^#define KSTHID_VERSION_")
string(REGEX REPLACE ".*MAJOR ([0-9]+).*MINOR ([0-9]+).*PATCH ([0-9]+).*" "\\1.\\2.\\3"
  header_version "${version_lines}")
if(NOT header_version VERSION_EQUAL PROJECT_VERSION)
  message(FATAL_ERROR "ksthid.h says version ${header_version}, the project ${PROJECT_VERSION}")
endif()
set_target_properties(ksthid PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR})

set(KSTHID_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ksthid)
install(TARGETS ksthid EXPORT ksthidTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
# In a folder of their own: ksthid_ole.h names OLE's types, which belong to
# no one on systems other than Windows.
install(FILES include/ksthid.h include/ksthid_api.h include/ksthid_ole.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ksthid COMPONENT development)

# find_package(ksthid) gives the imported target ksthid::ksthid.
install(EXPORT ksthidTargets NAMESPACE ksthid:: DESTINATION ${KSTHID_CMAKE_DIR}
  COMPONENT development)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/ksthidConfig.cmake
  "include(\${CMAKE_CURRENT_LIST_DIR}/ksthidTargets.cmake)\n")
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ksthidConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ksthidConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/ksthidConfigVersion.cmake
  DESTINATION ${KSTHID_CMAKE_DIR} COMPONENT development)

if(WIN32)
  # For hosts that make their own import library from it, and as the list of
  # what the DLL offers.
  install(FILES ksthid.def DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
  return()
endif()

# pkg-config ksthid. Paths relative to the file itself, so that the package
# may be moved to another prefix.
set(KSTHID_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH KSTHID_PC_TO_PREFIX /${KSTHID_PKGCONFIG_DIR} /)
configure_file(ksthid.pc.in ksthid.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ksthid.pc DESTINATION ${KSTHID_PKGCONFIG_DIR}
  COMPONENT development)

# Relative to the install prefix. udev reads /usr/lib/udev/rules.d and
# /etc/udev/rules.d, nothing below /usr/local: see docs/linux-boards.md.
set(KSTHID_UDEV_RULES_DIR "lib/udev/rules.d" CACHE PATH
  "Where the udev rule that lets the user at the seat open the bridges is installed")
install(FILES udev/70-ksthid.rules DESTINATION ${KSTHID_UDEV_RULES_DIR} COMPONENT tools)
