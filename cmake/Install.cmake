# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts under the prefix, and the Debian package made from it
# (`cpack -G DEB` in the build folder; see scripts/package.sh).
include(GNUInstallDirs)

# The desktop entry, the icon, the metainfo file and the window's desktop file name all
# carry this id, so that launchers and docks tie the running window to its entry.
set(JOTWELL_APP_ID org.korvel.Jotwell)
set(JOTWELL_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)

install(TARGETS jotwell jotwell-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${JOTWELL_LINUX_DIR}/${JOTWELL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${JOTWELL_LINUX_DIR}/${JOTWELL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/images/app.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${JOTWELL_APP_ID}.svg)
# Where bash-completion loads a command's completion from when it is first completed.
install(FILES ${JOTWELL_LINUX_DIR}/jotwell-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME jotwell-cli)

# Manual pages and the changelog are installed compressed, as distributions ship them; -n keeps
# the time stamp out so that two builds make the same bytes.
find_program(JOTWELL_GZIP gzip REQUIRED)
set(JOTWELL_PACKAGE_NAME korvel-jotwell)
set(JOTWELL_GZIPPED_DIR ${CMAKE_BINARY_DIR}/gzipped)
set(JOTWELL_GZIPPED)
foreach(source jotwell.1 jotwell-cli.1 changelog)
  set(gzipped ${JOTWELL_GZIPPED_DIR}/${source}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${JOTWELL_GZIPPED_DIR}
    COMMAND ${JOTWELL_GZIP} -9nc ${JOTWELL_LINUX_DIR}/${source} > ${gzipped}
    DEPENDS ${JOTWELL_LINUX_DIR}/${source} VERBATIM)
  list(APPEND JOTWELL_GZIPPED ${gzipped})
endforeach()
add_custom_target(jotwell_gzipped ALL DEPENDS ${JOTWELL_GZIPPED})
install(FILES ${JOTWELL_GZIPPED_DIR}/jotwell.1.gz ${JOTWELL_GZIPPED_DIR}/jotwell-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's place for the licence and the history of a package that is its own upstream.
set(JOTWELL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${JOTWELL_PACKAGE_NAME})
install(FILES ${JOTWELL_LINUX_DIR}/copyright ${JOTWELL_GZIPPED_DIR}/changelog.gz DESTINATION ${JOTWELL_DOC_DIR})

set(CPACK_PACKAGE_NAME ${JOTWELL_PACKAGE_NAME})
# All four parts, as the changelog and the metainfo name the release.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Korvel)
set(CPACK_PACKAGE_CONTACT "Korvel <support@korvel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop memo keeper with memos and sub-memos in one window")
set(CPACK_PACKAGE_DESCRIPTION "Keeps short text memos in a two-level tree of memos and sub-memos that fills
one window. Every change is stored at once in a local database; memos can be
exported, printed and saved as reports.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.korvel.example/jotwell/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders as a distribution makes them, whatever the packager's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries' packages (Qt's platform and SVG plug-ins come with them) are read off the
# binary by dpkg-shlibdeps; web links and mail open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
include(CPack)
