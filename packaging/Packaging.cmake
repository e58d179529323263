# Installation layout and the Debian package (cpack -G DEB).
#
# Everything goes below the install prefix in the places a desktop expects:
# the programs in bin/, the menu entry, the icon in the hicolor theme at both
# sizes we draw, and the AppStream metainfo that software centres read.
include(GNUInstallDirs)

install(TARGETS quorlin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quorlin-rtf)
  # Command-line helper that converts topics; useful in scripts, not on the menu.
  install(TARGETS quorlin-rtf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(QUORLIN_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${QUORLIN_PACKAGING_DIR}/quorlin.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORLIN_PACKAGING_DIR}/io.github.quorlin.Quorlin.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/images/quorlin-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME quorlin.png)
endforeach()
# Debian keeps the licence of every package at this fixed path.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorlin
  RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorlin Developers")
set(CPACK_PACKAGE_CONTACT "Quorlin Developers <dev@quorlin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Help topic editor for RTF files")
set(CPACK_PACKAGE_DESCRIPTION
  "Quorlin is a small desktop editor for help authors. Each help topic is an
RTF file in the folder “RTF Folder”; Quorlin lists them, opens the one
chosen, formats text (bold, italic, underline, typeface, size, colour),
saves it, and packs the whole folder into Help.zip.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quorlin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorlin Developers <dev@quorlin.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps; the fonts are not linked but
# stand in for the typefaces that topics name, so they are listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")

include(CPack)
