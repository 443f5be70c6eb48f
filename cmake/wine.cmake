# Cross-built Windows programs run under Wine, in a Wine prefix of their own
# inside the build tree, so that CTest runs the Windows tests on this machine.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(WINE_ARCH win32)
  set(wine_loader_names wine)
else()
  set(WINE_ARCH win64)
  set(wine_loader_names wine64)
endif()
# Debian keeps the loaders of both architectures in /usr/lib/wine and puts a
# chooser script in the path; the loader itself is what each build needs.
find_program(WINE_LOADER NAMES ${wine_loader_names} HINTS /usr/lib/wine REQUIRED)
execute_process(COMMAND ${WINE_LOADER} --version RESULT_VARIABLE wine_cannot_run
  OUTPUT_QUIET ERROR_QUIET)
if(wine_cannot_run)
  message(WARNING "${WINE_LOADER} cannot run on this machine (a 32-bit loader needs a kernel "
                  "that runs 32-bit programs): the ${WINE_ARCH} tests that need Wine will be "
                  "skipped")
endif()

set(wine_script_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
# Programs without windows: no display, so that nothing waits for a person.
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_DISPLAY_SETTING "export DISPLAY=")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS ${wine_script_permissions})
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Programs with windows run on a virtual display (wine-display) in a prefix of their own: Wine's
# desktop takes the display of the program that starts it, and that of the prefix above has none.
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-window)
set(WINE_DISPLAY_SETTING "# The display is the caller's (wine-display).")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run-window @ONLY
  FILE_PERMISSIONS ${wine_script_permissions})
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-display.sh.in ${CMAKE_BINARY_DIR}/wine-display @ONLY
  FILE_PERMISSIONS ${wine_script_permissions})
set(WINE_WINDOW_PREFIX ${WINE_PREFIX})
set(WINE_RUN_WINDOW ${CMAKE_BINARY_DIR}/wine-run-window)
set(WINE_DISPLAY ${CMAKE_BINARY_DIR}/wine-display)

# The prefix is made once, before the tests that run in it.
add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix SKIP_RETURN_CODE 77)

find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME wine_window_prefix COMMAND ${WINE_DISPLAY} ${WINE_RUN_WINDOW} wineboot --init)
  set_tests_properties(wine_window_prefix PROPERTIES FIXTURES_SETUP wine_window_prefix
    RESOURCE_LOCK wine_window_prefix SKIP_RETURN_CODE 77)
else()
  message(WARNING "xvfb-run (Debian package xvfb) not found: the tests of the window under Wine "
                  "will not run")
endif()

# add_test for a Windows program of this build, run under Wine.
function(add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 WINE_TEST "" "NAME" "COMMAND")
  add_test(NAME ${WINE_TEST_NAME} COMMAND ${WINE_TEST_COMMAND})
  set_tests_properties(${WINE_TEST_NAME} PROPERTIES
    FIXTURES_REQUIRED wine_prefix SKIP_RETURN_CODE 77)
endfunction()

# add_test for a command that runs Windows programs with windows through ${WINE_RUN_WINDOW}, on a
# display of its own; one at a time, as they share a Wine prefix and its desktop.
function(add_wine_window_test)
  cmake_parse_arguments(PARSE_ARGV 0 WINE_TEST "" "NAME" "COMMAND")
  if(NOT XVFB_RUN)
    return()
  endif()
  add_test(NAME ${WINE_TEST_NAME} COMMAND ${WINE_DISPLAY} ${WINE_TEST_COMMAND})
  set_tests_properties(${WINE_TEST_NAME} PROPERTIES
    FIXTURES_REQUIRED wine_window_prefix RESOURCE_LOCK wine_window_prefix SKIP_RETURN_CODE 77)
endfunction()
