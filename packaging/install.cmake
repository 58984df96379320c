# Install rules and the Debian package: the program, the generated show files and their
# high-resolution pictures, the icon, the desktop entry, the manual page and the AppStream
# metainfo.

set(TUVERO_APP_ID org.tuvero.tuvero)
set(TUVERO_SCREENSHOT_URL "https://example.org/tuvero/hall.png"
    CACHE STRING "Where the metainfo's screenshot is published")
set(TUVERO_MAINTAINER "The Tuvero developers <tuvero@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

configure_file(${CMAKE_CURRENT_LIST_DIR}/tuvero.6.in ${CMAKE_BINARY_DIR}/packaging/tuvero.6 @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tuvero.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${TUVERO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS tuvero RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the show's own files: tests and users may leave other files in the build's data folder.
install(DIRECTORY ${TUVERO_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tuvero
        FILES_MATCHING PATTERN "*.jpg" PATTERN "*.3ds" PATTERN "musa.mo3")
# The high-resolution pictures beside it, where the show looks for them ("<share folder>-hd").
install(DIRECTORY ${TUVERO_HD_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tuvero-hd
        FILES_MATCHING PATTERN "*.jpg")
install(DIRECTORY ${TUVERO_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "tuvero.png")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tuvero.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${TUVERO_APP_ID}.desktop)
install(FILES ${CMAKE_BINARY_DIR}/packaging/tuvero.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${TUVERO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The licence (MIT), in Debian's machine-readable copyright format.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tuvero)
set(CPACK_PACKAGE_VENDOR "The Tuvero developers")
set(CPACK_PACKAGE_CONTACT "${TUVERO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL scenes played to tracker music")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A show of animated OpenGL scenes played to a tracker module: a lattice of translucent\n"
    "cubes, a tunnel flight, a mirrored pillar hall, a morphing star, a sphere swarm and\n"
    "greetings, joined by a turning cube whose faces show live pictures of the other scenes.\n"
    "It can also render itself offline into a video (with ffmpeg).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tuvero_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
include(CPack)
