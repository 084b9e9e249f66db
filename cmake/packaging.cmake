# Windows: the portable zip and the per-user installer, into package/:
# cmake --build BUILD --target windows_package.
if(WIN32)
    add_custom_target(windows_package
        COMMAND ${PROJECT_SOURCE_DIR}/packaging/windows/package.sh $<TARGET_FILE:glyphsmith>
                ${QT6_INSTALL_PREFIX} ${PROJECT_BINARY_DIR}/package ${GLYPHSMITH_VERSION_TEXT}
                ${PROJECT_VERSION}.0 ${PROJECT_SOURCE_DIR}/src/resources/icon.ico
        DEPENDS glyphsmith VERBATIM)
    return()
endif()

# A Debian package of the installed program: cpack -G DEB in the build folder.
# Checked with lintian by the package test.
set(CPACK_PACKAGE_NAME "ravenmoor-glyphsmith")
set(CPACK_PACKAGE_VENDOR "${GLYPHSMITH_COMPANY}")
set(CPACK_PACKAGE_VERSION "${GLYPHSMITH_VERSION_TEXT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Type a player name in plain letters and press Convert: the name is
rewritten letter by letter into a look-alike of accented Latin, Greek,
Cyrillic and Arabic characters, ready to copy into the game CS. Three
name slots keep names between runs.")
set(CPACK_PACKAGE_CONTACT "Ravenmoor <mail@ravenmoor.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
# The shared libraries' packages come from dpkg-shlibdeps; the fonts that the
# windows' layouts and the glyphs need are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-lato")
include(CPack)

# What Debian asks of every package: the copyright, a changelog and a manual
# page, compressed the reproducible way (no name or time in the header).
if(UNIX AND NOT APPLE)
    execute_process(COMMAND date -u -R -d "${GLYPHSMITH_RELEASE_DATE}"
                    OUTPUT_VARIABLE GLYPHSMITH_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(doc ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
    set(packaging ${PROJECT_BINARY_DIR}/packaging)
    configure_file(packaging/copyright.in ${packaging}/copyright @ONLY)
    configure_file(packaging/changelog.in ${packaging}/changelog @ONLY)
    configure_file(packaging/glyphsmith.1.in ${packaging}/glyphsmith.1 @ONLY)
    foreach(file changelog glyphsmith.1)
        add_custom_command(OUTPUT ${packaging}/${file}.gz
                           COMMAND gzip -9nkf ${packaging}/${file}
                           DEPENDS ${packaging}/${file})
    endforeach()
    add_custom_target(package_docs ALL
                      DEPENDS ${packaging}/changelog.gz ${packaging}/glyphsmith.1.gz)
    install(FILES ${packaging}/copyright ${packaging}/changelog.gz DESTINATION ${doc})
    install(FILES ${packaging}/glyphsmith.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
