# Windows: the portable zip and the per-user installer, into package/:
# cmake --build BUILD --target windows_package.
if(WIN32)
    configure_file(packaging/windows/identity.nsh.in ${PROJECT_BINARY_DIR}/identity.nsh @ONLY)
    add_custom_target(windows_package
        COMMAND ${PROJECT_SOURCE_DIR}/packaging/windows/package.sh $<TARGET_FILE:glyphsmith>
                ${QT6_INSTALL_PREFIX} ${PROJECT_BINARY_DIR}/package
                ${GLYPHSMITH_PACKAGE_NAME}-${GLYPHSMITH_VERSION_TEXT}
                ${PROJECT_BINARY_DIR}/identity.nsh ${PROJECT_SOURCE_DIR}/src/resources/icon.ico
        DEPENDS glyphsmith glyphsmith_console VERBATIM)
    return()
endif()

# A Debian package of the installed program: cpack -G DEB in the build folder.
# Checked with lintian by the package test.
set(CPACK_PACKAGE_NAME "${GLYPHSMITH_PACKAGE_NAME}")
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
    set(days Mon Tue Wed Thu Fri Sat Sun)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    # The release date as the changelog wants it, RFC 2822, with its weekday
    # by Zeller's rule.
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" date "${GLYPHSMITH_RELEASE_DATE}")
    set(year ${CMAKE_MATCH_1})
    math(EXPR month "${CMAKE_MATCH_2}")
    math(EXPR day "${CMAKE_MATCH_3}")
    math(EXPR m "(${month} + 9) % 12 + 3")
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${year} - 1")
    endif()
    math(EXPR weekday "(${day} + 13 * (${m} + 1) / 5 + ${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + 5) % 7")
    list(GET days ${weekday} weekday)
    math(EXPR month "${month} - 1")
    list(GET months ${month} month_name)
    set(GLYPHSMITH_CHANGELOG_DATE
        "${weekday}, ${CMAKE_MATCH_3} ${month_name} ${year} 00:00:00 +0000")
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
