# The Debian package: `make package` runs cpack on the Release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vadozoz)
# The program calls itself 1.00; the package keeps that spelling.
set(CPACK_PACKAGE_VERSION 1.00)
set(CPACK_PACKAGE_VENDOR Vuradar)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logbook for amateur-radio contacts with ADIF export")
set(CPACK_PACKAGE_DESCRIPTION
"Vadozoz is a small desktop logbook for amateur-radio operators. In one
window the operator types a contact (call sign, date, UTC time, band, mode,
report sent) and Vadozoz turns it into an ADIF record and appends it to the
log. The log is kept in a temporary file between runs and exported as a
dated .adi file that any logbook service or logging program can import.

The interface is in Italian.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vadozoz.org/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(VADOZOZ_MAINTAINER "Vadozoz developers <dev@vadozoz.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VADOZOZ_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# vadozoz_1.00_amd64.deb: no Debian revision, so the default name has none.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugin at run time, where dpkg-shlibdeps cannot see
# it; libqt6gui6 only recommends the package, and without it there is no window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
