# Debian packages (cpack -G DEB in a build configured with CMAKE_INSTALL_PREFIX=/usr; see
# scripts/setup.sh package):
#   kestrova      the orvanta program, the exercise-test console orvanta-teste, the simulator
#                 orvanta-sim, the command line orvanta-ctl, the shared libraries, the desktop
#                 entries and icon
#   kestrova-dev  headers, the CMake package, the development symlinks and the Qt Designer plugin
set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Kestrova")
set(CPACK_PACKAGE_CONTACT "Kestrova developers <dev@kestrova.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Treadmill board controller and Qt components")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kestrova.invalid/")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs and the plugin link libraries of this same build; dpkg-shlibdeps finds them here.
get_property(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS GLOBAL PROPERTY KESTROVA_LIBRARY_DIRS)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME kestrova)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION electronics)
# A lab's shared session database is a PostgreSQL server, through Qt SQL's PostgreSQL plugin.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS
    "fonts-liberation, qt6-translations-l10n, libqt6sql6-psql")
# orvanta-teste keeps its sessions in SQLite through Qt SQL's plugin, which no library links.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "Treadmill board controller (orvanta), its simulator and command line\n\
orvanta drives a motorised treadmill board over an RS-232 serial line: belt speed and incline,\n\
calibration and status. orvanta --simulate and orvanta-sim run a simulated board on a\n\
pseudo-terminal, orvanta-ctl sends single commands. orvanta-teste runs exercise-test protocols\n\
with a live chart, records each session in SQLite and prints its report. Includes the Kestrova\n\
component libraries.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME kestrova-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "kestrova (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Kestrova Qt components: headers, CMake package and Qt Designer plugin\n\
Serial port components, a millisecond timer, a version label, an X/Y chart, a somatotype chart,\n\
a printable line edit and a data grid, for Qt 6 programs: find_package(Kestrova COMPONENTS ...).")

include(CPack)
