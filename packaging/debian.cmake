# Debian packages, one per component. Dependencies on other packages come
# from the binaries (dpkg-shlibdeps); those between these packages from the
# components' dependencies below, since the program and the Python package
# load the library at run time, where no tool can see it.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tools link the library of this build, which no installed package holds
# yet: dpkg-shlibdeps finds it here and the dependency comes from the
# components' dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(library_package libksthid${PROJECT_VERSION_MAJOR})
set(release_date "Mon, 07 Dec 2026 12:00:00 +0000")

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Library that drives the QV6180 evaluation board's USB HID bridge
 ksthid finds every attached bridge board of the QV6180 evaluation kit and
 drives it with 64-byte HID reports: LEDs, firmware version, clocks, I2C and
 SMBus, SPI and GPIO, one board addressed by its index. Without a board,
 KSTHID_SIMULATE=N attaches N virtual ones.")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${library_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# A shlibs file, so that programs built against it depend on this package
# (each package with a shared library holds only its own). Lintian asks for the ldconfig
# trigger besides the call that CPack writes into the maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/${library_package}/triggers)

set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "Development files of ksthid, the QV6180 evaluation board library
 The C header ksthid.h with the library's exports and their documentation,
 the OLE array and variant types they take (ksthid_ole.h), the link library,
 and the files of pkg-config (ksthid) and CMake (find_package(ksthid), target
 ksthid::ksthid).")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libksthid-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)

set(chip_library_package libqv6180-${PROJECT_VERSION_MAJOR})
set(CPACK_COMPONENT_CHIP_RUNTIME_DESCRIPTION
  "Library that sets and stores the QV6180's DVR register on its evaluation board
 libqv6180 brings the DVR register of the QV6180 VCOM calibrator on the
 evaluation board to a value with the counter interface's pulse trains,
 steps it between known values, stores it in the chip's EEPROM, and works
 out the chip's resistor divider, for C programs and scripts.")
set(CPACK_DEBIAN_CHIP_RUNTIME_PACKAGE_NAME ${chip_library_package})
set(CPACK_DEBIAN_CHIP_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_CHIP_RUNTIME_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_SOURCE_DIR}/debian/${chip_library_package}/triggers)
set(CPACK_COMPONENT_CHIP_RUNTIME_DEPENDS runtime)

set(CPACK_COMPONENT_CHIP_DEVELOPMENT_DESCRIPTION
  "Development files of libqv6180, the QV6180 chip library
 The C header qv6180.h with the library's exports and their documentation,
 the link library, and the files of pkg-config (qv6180) and CMake
 (find_package(qv6180), target qv6180::qv6180).")
set(CPACK_DEBIAN_CHIP_DEVELOPMENT_PACKAGE_NAME libqv6180-dev)
set(CPACK_DEBIAN_CHIP_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_CHIP_DEVELOPMENT_DEPENDS chip_runtime development)

set(CPACK_COMPONENT_TOOLS_DESCRIPTION
  "Command-line tools for the QV6180 evaluation board
 ksthid lists and drives the bridge boards from the shell; qv6180 steps the
 QV6180's register and stores it. Includes the udev rule that lets the user
 at the seat open the bridge boards.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ksthid-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
# Reload the udev rules when the rule comes and goes.
set(CPACK_DEBIAN_TOOLS_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_SOURCE_DIR}/debian/ksthid-tools/postinst
  ${CMAKE_CURRENT_SOURCE_DIR}/debian/ksthid-tools/postrm)
set(CPACK_DEBIAN_TOOLS_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
  "Evaluation program for the QV6180 VCOM calibrator
 qv6180eval calculates the VCOM resistor divider in both directions and
 brings the chip's DVR register on the evaluation board to the entered value,
 then stores it in the chip's EEPROM. Without a board it is a calculator.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME qv6180eval)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_PROGRAM_DEPENDS runtime)

set(CPACK_COMPONENT_PYTHON_DESCRIPTION
  "Python 3 module for the QV6180 evaluation board library
 The module ksthid calls the library's exports from Python; the module
 qv6180 sends, steps and stores the chip's DVR register and works out its
 divider through libqv6180.")
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-ksthid)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS python3)
# Byte-compiled on install and cleaned on removal, so that nothing is left.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_SOURCE_DIR}/debian/python3-ksthid/postinst
  ${CMAKE_CURRENT_SOURCE_DIR}/debian/python3-ksthid/prerm)
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_PYTHON_DEPENDS runtime chip_runtime)

set(CPACK_COMPONENT_DKMS_DESCRIPTION
  "Kernel driver for the QV6180 evaluation board's USB HID bridge (DKMS)
 The HID driver hid-ksthid, built by DKMS for the installed kernels. It leaves
 every bridge board to the library ksthid through hidraw until a board is
 claimed for the kernel; a claimed board is an I2C adapter (i2c-tools, smbus2,
 the kernel's own device drivers) and a GPIO chip of 16 lines (libgpiod).")
set(CPACK_DEBIAN_DKMS_PACKAGE_NAME ksthid-dkms)
set(CPACK_DEBIAN_DKMS_PACKAGE_SECTION kernel)
set(CPACK_DEBIAN_DKMS_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DKMS_PACKAGE_DEPENDS dkms)
set(CPACK_DEBIAN_DKMS_PACKAGE_CONTROL_EXTRA
  ${PROJECT_BINARY_DIR}/kernel/postinst ${PROJECT_BINARY_DIR}/kernel/prerm)
set(CPACK_DEBIAN_DKMS_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Every package carries the copyright file and the changelog where Debian
# looks for them (a native package's changelog is changelog.gz). The
# archive's time stamp is the release's, not the build's.
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
configure_file(debian/changelog.in ${changelog} @ONLY)
file(ARCHIVE_CREATE OUTPUT ${changelog}.gz PATHS ${changelog} FORMAT raw COMPRESSION GZip
  COMPRESSION_LEVEL 9 MTIME "${release_date}")
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  install(FILES debian/copyright ${changelog}.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
    COMPONENT ${component})
endforeach()
