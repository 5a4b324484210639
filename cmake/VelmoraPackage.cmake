# The Debian package: `cpack -G DEB` in the build folder makes
# velmora_<version>_<arch>.deb from what `cmake --install` installs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for DSP power amplifiers")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora sets up, tunes and watches DSP power amplifiers of the Vorn series\n"
    "and the Zephyl line over the network or USB: inputs, equalisers,\n"
    "crossovers, limiters, presets and meters. It also installs a udev rule\n"
    "that gives the desktop user access to amplifiers on USB, and velmora-ampsim,\n"
    "a simulated amplifier for trying the editor without hardware.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/velmora")
# dpkg-shlibdeps finds the libraries the binaries link. The X11 libraries
# are missing from that list because the window toolkit opens them with
# dlopen() at run time, so they are named here (no libXrender: the toolkit
# is built without it).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libx11-6, libxext6, libxcursor1, libxinerama1, libxrandr2")
# The toolkit looks for the DejaVu fonts through fontconfig.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
