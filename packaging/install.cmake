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

# The session autostart entry: the desktop entry with Hidden=true, so that it starts
# nothing until the user copies it to ~/.config/autostart/ without that line.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${DESKWORD_PACKAGING_DIR}/${DESKWORD_APP_ID}.desktop)
file(READ ${DESKWORD_PACKAGING_DIR}/${DESKWORD_APP_ID}.desktop deskword_desktop_entry)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/packaging/autostart/${DESKWORD_APP_ID}.desktop
     CONTENT "${deskword_desktop_entry}Hidden=true\n" @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/autostart/${DESKWORD_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/deskword/autostart)

# The Debian package; its Depends come from dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME deskword)
set(CPACK_PACKAGE_VENDOR "Deskword")
set(CPACK_PACKAGE_CONTACT "Deskword maintainers <deskword@users.noreply.github.com>")
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
# The tray menu and the editor's labels are Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
