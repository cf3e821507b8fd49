# Install rules and the Debian package. `cmake --install` lays the tree out as Debian does:
#   bin/bramblegate, libexec/bramblegate/bghelper, share/bramblegate/pages/...,
#   share/bramblegate/login-sites.ini,
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1.
# `cpack -G DEB` (scripts/package) makes bramblegate_<version>_<arch>.deb of it.

set(BG_APP_ID org.bramblegate.Bramblegate)
set(BG_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS bramblegate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET bghelper)
  install(TARGETS bghelper RUNTIME DESTINATION ${BG_LIBEXEC_INSTALL_DIR})
endif()
install(DIRECTORY ${BG_PAGES_DIR} DESTINATION ${BG_DATA_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/config/login-sites.ini DESTINATION ${BG_DATA_INSTALL_DIR})

install(FILES ${BG_PACKAGING_DIR}/${BG_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BG_PACKAGING_DIR}/${BG_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/src/frame/icons/bramblegate.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Rendered from the SVG with rsvg-convert -w 256 -h 256 (Debian package librsvg2-bin).
install(FILES ${BG_PACKAGING_DIR}/icons/bramblegate-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME bramblegate.png)

# Manual pages go compressed; -n keeps the archive free of a time stamp.
find_program(BG_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bramblegate.1.gz
                   COMMAND ${BG_GZIP} -9n -c ${BG_PACKAGING_DIR}/bramblegate.1 > ${CMAKE_BINARY_DIR}/bramblegate.1.gz
                   DEPENDS ${BG_PACKAGING_DIR}/bramblegate.1 VERBATIM)
add_custom_target(bramblegate_manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/bramblegate.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/bramblegate.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ----- the Debian package ---------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bramblegate)
set(CPACK_PACKAGE_VENDOR "The Bramblegate developers")
set(CPACK_PACKAGE_CONTACT "The Bramblegate developers <bramblegate@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web browser whose Links log in to their sites for you")
set(CPACK_PACKAGE_DESCRIPTION
    "Bramblegate is a web browser for the people who share one computer account.\n\
Each person has a user of their own, protected by a master password. A\n\
sidebar holds that person's sites as Links, each with its own browser pane;\n\
a Link that needs a login fills in and sends the site's login form.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link come from dpkg-shlibdeps (the engine's helper process with
# them); the plugins that draw the SVG icons are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
# The icon cache and the menus pick the new files up through the triggers of their own packages;
# nothing here makes Bramblegate the default browser.
include(CPack)
