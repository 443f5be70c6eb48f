# install_man_page(<page> COMPONENT <component>): installs a manual page
# (name.N) into section N, compressed with gzip -9 and without a time stamp,
# as Debian wants manual pages installed.
function(install_man_page page)
  cmake_parse_arguments(PARSE_ARGV 1 MAN "" "COMPONENT" "")
  get_filename_component(name ${page} NAME)
  string(REGEX MATCH "[0-9]$" section ${name})
  get_filename_component(page ${page} ABSOLUTE)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  file(ARCHIVE_CREATE OUTPUT ${compressed} PATHS ${page} FORMAT raw COMPRESSION GZip
    COMPRESSION_LEVEL 9 MTIME 0)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${page})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
    COMPONENT ${MAN_COMPONENT})
endfunction()
