# "cpack -G DEB" in the build directory makes the Debian package of what
# "cmake --install" installs. The libraries come from dpkg-shlibdeps over the
# installed programs; what is loaded at run time rather than linked is named.

set(CPACK_PACKAGE_NAME rixfront)
set(CPACK_PACKAGE_VENDOR "RIX FrontEnd developers")
set(CPACK_PACKAGE_CONTACT "RIX FrontEnd developers <rix@rixfront.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front end for game emulators")
set(CPACK_PACKAGE_DESCRIPTION
    "RIX FrontEnd keeps a catalogue of game emulators, browsed as a table or as a tree, \
shows each emulator's game list with pictures and documentation, and starts the \
emulator with a game, unpacking ZIP archives first. Its texts are Traditional \
Chinese; its data files are Big5 text.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY rixfront)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://rixfront.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the font substitutions name, Qt's TIFF plugin (a plugin is
# loaded, not linked, so shlibdeps cannot see it) and Qt's own Chinese texts
# for its file and print dialogs (read at start, not linked either).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-arphic-uming, fonts-liberation2, fonts-dejavu-core, qt6-image-formats-plugins, qt6-translations-l10n")

include(CPack)
