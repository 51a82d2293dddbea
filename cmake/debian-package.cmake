# The Debian package (`scripts/package`): whatever the install rules install, under /usr, as
# build/barvane_VERSION_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME barvane)
set(CPACK_PACKAGE_VENDOR "Orvell Software")
set(CPACK_PACKAGE_CONTACT "Orvell Software <barvane@orvell.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for market price data in MetaStock / CompuTrac files")
set(CPACK_PACKAGE_DESCRIPTION
  "Fixes wrong or missing quotes, unrecorded stock splits and symbol entries directly in the
files, exact to the byte and without ever leaving a portfolio half-written. Holds the window
(barvane) and the command line (barvane-cli) over the same commands.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvell.example/barvane")
# The libraries the programs link are found by dpkg-shlibdeps; Qt's plugins are loaded at run
# time, where it cannot see them: the windowing system's and the SVG one that draws the icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
