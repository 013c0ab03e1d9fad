# The Debian package: `cpack -G DEB` in a build folder (./package does it)
# gives gsm-notifier-config_<version>_<arch>.deb with the three programs, the
# desktop entry, the icons and the manual pages. The libraries it depends on
# are computed from the binaries by dpkg-shlibdeps (package dpkg-dev).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gsm-notifier-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "gsm-notifier-config developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configurator for a GSM SMS alarm notifier, programmed over a serial cable")
set(CPACK_PACKAGE_DESCRIPTION
    "An installer's desktop tool (Polish user interface) that connects to a GSM SMS
alarm notifier over a serial cable (COM1-COM8 at 19200 baud), reads its settings,
edits them in two windows with field-by-field checks and writes them back. Settings
are saved to and loaded from template files (*.sbn). Also contains
gsm-notifier-sim, a simulated device on a pseudo-terminal for trying the program
without hardware, and gsm-notifier-template, which prints a template's settings.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "gsm-notifier-config developers <gsm-notifier-config@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Polish texts of the file dialogs, and the fallback of the window font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation")

include(CPack)
