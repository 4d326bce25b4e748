# Installation and the Debian package. Included from the top-level CMakeLists.txt
# after the deskword target exists.
#
#   cmake --install build --prefix ~/.local      the program for one user
#   cd build && cpack                            build/deskword_<version>_<arch>.deb
#
# One id names the desktop entry, the icon and what the program reports as its
# desktop file (QGuiApplication::setDesktopFileName in src/main.cpp).
include(GNUInstallDirs)

set(DESKWORD_APP_ID io.github.deskword.Deskword)
set(DESKWORD_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS deskword RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${DESKWORD_PACKAGING_DIR}/${DESKWORD_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

foreach(size 32 128)
  install(FILES ${PROJECT_SOURCE_DIR}/src/resources/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${DESKWORD_APP_ID}.png)
endforeach()

# The AppStream metadata, for software centres, with the project's version.
configure_file(${DESKWORD_PACKAGING_DIR}/${DESKWORD_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${DESKWORD_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${DESKWORD_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The licence (MIT, called Expat in Debian) as Debian's copyright file, and the
# changelog, compressed as Debian's policy asks for.
install(FILES ${DESKWORD_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/deskword)
configure_file(${DESKWORD_PACKAGING_DIR}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
               @ONLY)
set(DESKWORD_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${DESKWORD_CHANGELOG_GZ}
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/packaging/changelog > ${DESKWORD_CHANGELOG_GZ}
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(deskword_changelog ALL DEPENDS ${DESKWORD_CHANGELOG_GZ})
install(FILES ${DESKWORD_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/deskword)

# The manual page with the project's version, compressed as Debian's policy asks for.
configure_file(${DESKWORD_PACKAGING_DIR}/deskword.1.in ${PROJECT_BINARY_DIR}/packaging/deskword.1
               @ONLY)
set(DESKWORD_MANPAGE_GZ ${PROJECT_BINARY_DIR}/packaging/deskword.1.gz)
add_custom_command(OUTPUT ${DESKWORD_MANPAGE_GZ}
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/packaging/deskword.1 > ${DESKWORD_MANPAGE_GZ}
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/deskword.1
  VERBATIM)
add_custom_target(deskword_manpage ALL DEPENDS ${DESKWORD_MANPAGE_GZ})
install(FILES ${DESKWORD_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package; its Depends come from dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME deskword)
set(CPACK_PACKAGE_VENDOR "Deskword developers")
set(CPACK_PACKAGE_CONTACT "Deskword developers <deskword@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "your own text on the desktop, above all windows")
set(CPACK_PACKAGE_DESCRIPTION
    "Deskword draws one or more lines of text, in the font and colour you choose,\n"
    "straight onto the screen above all other windows. Only the letters are there:\n"
    "the desktop shows through between them and clicks pass through to the windows\n"
    "below. A picture of your own can join the text, cut to its outline. Deskword\n"
    "lives in the system tray and remembers its settings for the next start.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A font that covers Japanese, so that Japanese text and captions never show as
# empty boxes; dpkg-shlibdeps adds the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic | fonts-takao-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Pictures in WebP, TIFF and more need the image format plugins; the buttons and
# labels of Qt's dialogs in Japanese need Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
