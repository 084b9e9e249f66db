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
# The build's time (the commit's, tools/source_date.sh) reaches cpack from
# here, so that the README's own package command gives the same bytes twice.
set(GLYPHSMITH_SOURCE_DATE "$ENV{SOURCE_DATE_EPOCH}")
if(NOT GLYPHSMITH_SOURCE_DATE)
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE GLYPHSMITH_SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
endif()
if(NOT GLYPHSMITH_SOURCE_DATE)
    file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt GLYPHSMITH_SOURCE_DATE "%s" UTC)
endif()
configure_file(cmake/cpack_options.cmake.in cpack_options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_options.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/sha256sums.cmake)
include(CPack)

# What Debian asks of every package: the copyright, a changelog and a manual
# page, compressed the reproducible way (no name or time in the header).
if(UNIX AND NOT APPLE)
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
