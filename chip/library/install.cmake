# How libqv6180 is versioned and installed, in the components its packages are made of:
# chip_runtime (the shared library) and chip_development (the header, link library, pkg-config
# and CMake files).
include(CMakePackageConfigHelpers)

file(STRINGS include/qv6180.h version_lines REGEX "^#define QV6180_VERSION_")
string(REGEX REPLACE ".*MAJOR ([0-9]+).*MINOR ([0-9]+).*PATCH ([0-9]+).*" "\\1.\\2.\\3"
  header_version "${version_lines}")
if(NOT header_version VERSION_EQUAL PROJECT_VERSION)
  message(FATAL_ERROR "qv6180.h says version ${header_version}, the project ${PROJECT_VERSION}")
endif()

set(QV6180_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/qv6180)
install(TARGETS qv6180 EXPORT qv6180Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT chip_runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT chip_runtime
    NAMELINK_COMPONENT chip_development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT chip_development)
install(FILES include/qv6180.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qv6180
  COMPONENT chip_development)

# find_package(qv6180) gives the imported target qv6180::qv6180, which brings ksthid::ksthid.
install(EXPORT qv6180Targets NAMESPACE qv6180:: DESTINATION ${QV6180_CMAKE_DIR}
  COMPONENT chip_development)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qv6180Config.cmake
  "include(CMakeFindDependencyMacro)\n"
  "find_dependency(ksthid ${PROJECT_VERSION_MAJOR})\n"
  "include(\${CMAKE_CURRENT_LIST_DIR}/qv6180Targets.cmake)\n")
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/qv6180ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qv6180Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/qv6180ConfigVersion.cmake
  DESTINATION ${QV6180_CMAKE_DIR} COMPONENT chip_development)

if(WIN32)
  install(FILES qv6180.def DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT chip_development)
  return()
endif()

# pkg-config qv6180, relative to the file itself as ksthid's is.
set(QV6180_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH QV6180_PC_TO_PREFIX /${QV6180_PKGCONFIG_DIR} /)
configure_file(qv6180.pc.in qv6180.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qv6180.pc DESTINATION ${QV6180_PKGCONFIG_DIR}
  COMPONENT chip_development)
