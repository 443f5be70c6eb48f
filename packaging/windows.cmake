# One zip and one installer per architecture: the build for 32-bit hosts (x86)
# and the one for 64-bit hosts (x64) cannot stand in for each other.
set(windows_architecture ${QV6180_WINDOWS_ARCHITECTURE})
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME ksthid-${PROJECT_VERSION}-windows-${windows_architecture})
# One archive of the library, its development files, the tools and the
# window: the Python package is not built for Windows here.
list(REMOVE_ITEM CPACK_COMPONENTS_ALL python)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

# The installer (cpack -G NSIS, Debian's nsis): the same files in Program
# Files, a Start-menu entry for the window and an uninstaller; /S installs and
# uninstalls without a question. The two architectures install side by side.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY QV6180)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "QV6180 ${windows_architecture}")
set(CPACK_NSIS_PACKAGE_NAME "QV6180 Evaluation Board Software")
set(CPACK_NSIS_DISPLAY_NAME "QV6180 Evaluation Board Software (${windows_architecture})")
set(CPACK_PACKAGE_EXECUTABLES qv6180eval "QV6180 Evaluation Board")
# Read again by cpack: the backslash is written escaped.
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\qv6180eval.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/evalgui/win32/qv6180eval.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/evalgui/win32/qv6180eval.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The x64 installer is a 64-bit program itself, like what it installs.
if(windows_architecture STREQUAL x64)
  set(CPACK_NSIS_EXECUTABLE ${CMAKE_CURRENT_SOURCE_DIR}/windows/makensis-x64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
endif()
# Each generator names its file: the zip as before, the installer after the kit.
set(CPACK_QV6180_INSTALLER_NAME qv6180-${PROJECT_VERSION}-windows-${windows_architecture}-setup)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/windows/generators.cmake)

configure_file(windows/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION . COMPONENT runtime)
