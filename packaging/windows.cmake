# One zip per architecture: the build for 32-bit hosts (x86) and the one for
# 64-bit hosts (x64) cannot stand in for each other.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(windows_architecture x86)
else()
  set(windows_architecture x64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ksthid-${PROJECT_VERSION}-windows-${windows_architecture})
# One archive of the library, its development files and the tools: the
# program and the Python package are not built for Windows here.
list(REMOVE_ITEM CPACK_COMPONENTS_ALL program python)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

configure_file(windows/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION . COMPONENT runtime)
