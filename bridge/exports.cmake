# The exports of ksthid. bridge/ksthid.def is the one list: the Windows build
# exports every name in it. On other systems the entry point and the COM
# server (DllMain, Dll*) have no meaning, and the library exports in their
# place the OLE Automation functions that Windows itself provides, as
# ksthid_ole.h declares them.

# The names of a module-definition file: indented names; comments start with
# ';' and section keywords stand at the margin.
function(ksthid_def_exports out def)
  file(STRINGS ${def} lines REGEX "^[ \t]+[A-Za-z_]")
  set(names)
  foreach(line IN LISTS lines)
    string(REGEX MATCH "[A-Za-z_][A-Za-z0-9_]*" name "${line}")
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The names a shared library of this build exports where Windows is not.
function(ksthid_unix_exports out def ole_header)
  ksthid_def_exports(names ${def})
  list(FILTER names EXCLUDE REGEX "^Dll")
  file(STRINGS ${ole_header} declarations REGEX "^KSTHID_OLE_API ")
  foreach(declaration IN LISTS declarations)
    string(REGEX MATCH "([A-Za-z_][A-Za-z0-9_]*)\\(" call "${declaration}")
    list(APPEND names ${CMAKE_MATCH_1})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Makes a shared library of this build export the listed names only. Hidden
# visibility alone would leave the standard library's template instances
# exported; a version script leaves nothing else. The Windows build exports
# what ksthid.def lists by itself.
function(ksthid_export_listed_only target)
  if(WIN32)
    return()
  endif()
  set(def ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ksthid.def)
  set(ole_header ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/include/ksthid_ole.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def} ${ole_header})
  ksthid_unix_exports(names ${def} ${ole_header})
  list(JOIN names ";\n    " names)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${script} "{\n  global:\n    ${names};\n  local: *;\n};\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${script})
  set_target_properties(${target} PROPERTIES LINK_DEPENDS ${script})
endfunction()
