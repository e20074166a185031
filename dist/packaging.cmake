# The Debian package: `cpack -G DEB` in a build folder. The shared-library
# dependencies (Qt 6, the C++ runtime) are computed by dpkg-shlibdeps from
# the installed programs, not written by hand.
set(VELMORA_PACKAGE_MAINTAINER "Velmora Monitor A/S Jig maintainers <maintainers@velmora-jig.invalid>"
    CACHE STRING "Maintainer line of the Debian package")

set(CPACK_PACKAGE_NAME velmora-jig)
set(CPACK_PACKAGE_VENDOR "The Velmora Monitor A/S Jig developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service bench for CRT monitors on a parallel-port I2C jig")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A service technician adjusts CRT monitors over an I2C bus driven on the\n"
    "first parallel port through an interface board (the jig): service\n"
    "settings, factory functions and model scripts, EEPROM and EDID, preset\n"
    "timings and the picture tube's on-time. Monitors that speak DDC/CI are\n"
    "also reached without the jig, through a graphics card's display channel\n"
    "(i2c-dev). Each monitor model is a small assembler source (.mdl)\n"
    "compiled at start; sample models are included.\n"
    "Also contains velmora-jig-bench, the console on a simulated board and\n"
    "monitor, velmora-jigctl for scripts and production lines, and velmora-mdl\n"
    "for model authors.")
set(CPACK_PACKAGE_CONTACT "${VELMORA_PACKAGE_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

include(CPack)
