# A Debian package of the installed program: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME "ravenmoor-glyphsmith")
set(CPACK_PACKAGE_VENDOR "${GLYPHSMITH_COMPANY}")
set(CPACK_PACKAGE_VERSION "${GLYPHSMITH_VERSION_TEXT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Ravenmoor <glyphsmith@ravenmoor.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
# The shared libraries' packages come from dpkg-shlibdeps; the fonts that the
# windows' layouts and the glyphs need are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-lato")
include(CPack)
