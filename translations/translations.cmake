# The translations of the captions and messages. The Japanese texts in the sources
# are the source texts; deskword_en.ts holds the English ones. lrelease compiles it at
# build time; the .qm file is built into the program (so a run from the build folder
# finds it) and installed to share/deskword/translations.
#
#   cmake --build build --target deskword_lupdate    brings the .ts up to date with
#                                                    the texts in src/
set(DESKWORD_TS_FILES ${CMAKE_CURRENT_LIST_DIR}/deskword_en.ts)
add_custom_target(deskword_lupdate
  COMMAND Qt6::lupdate -no-obsolete -locations none -source-language ja_JP
          -target-language en_US ${PROJECT_SOURCE_DIR}/src -ts ${DESKWORD_TS_FILES}
  VERBATIM)
qt_add_lrelease(deskword_core TS_FILES ${DESKWORD_TS_FILES}
                QM_FILES_OUTPUT_VARIABLE DESKWORD_QM_FILES)
qt_add_resources(deskword_core deskword_translations
  PREFIX /i18n
  BASE ${CMAKE_CURRENT_BINARY_DIR}
  FILES ${DESKWORD_QM_FILES}
)

include(GNUInstallDirs)
install(FILES ${DESKWORD_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/deskword/translations)
