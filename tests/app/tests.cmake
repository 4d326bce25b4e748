# Tests of src/app.
deskword_add_test(app_settings_test app/SettingsTest.cpp)
deskword_add_test(app_ini_document_test app/IniDocumentTest.cpp)

# A program that writes the settings file; the process test kills it mid-write and
# runs it as another user.
add_executable(settings_writer app/settings_writer.cpp)
target_link_libraries(settings_writer PRIVATE deskword_core)
deskword_warnings(settings_writer)
deskword_add_test(app_settings_process_test app/SettingsProcessTest.cpp)
target_compile_definitions(app_settings_process_test
  PRIVATE SETTINGS_WRITER="$<TARGET_FILE:settings_writer>")
add_dependencies(app_settings_process_test settings_writer)
# Kills its writer midway many times: minutes on a busy 2-core machine.
set_tests_properties(app_settings_process_test PROPERTIES TIMEOUT 300)
deskword_add_test(app_startup_test app/StartupTest.cpp)

# The captions in English and in Japanese, each in a locale of its own.
deskword_add_test(app_language_test app/LanguageTest.cpp)
target_compile_definitions(app_language_test PRIVATE
  DESKWORD_EXPECTED_VERSION="${PROJECT_VERSION}"
  DESKWORD_TS_FILE="${PROJECT_SOURCE_DIR}/translations/deskword_en.ts")
add_test(NAME app_language_ja_test COMMAND app_language_test)
set_tests_properties(app_language_ja_test PROPERTIES LABELS unit TIMEOUT 120
  ENVIRONMENT "LANG=ja_JP.UTF-8;DESKWORD_TEST_LANGUAGE=ja"
  ENVIRONMENT_MODIFICATION "LC_ALL=unset:;LC_MESSAGES=unset:;LANGUAGE=unset:")
set_tests_properties(app_language_test PROPERTIES
  ENVIRONMENT "LANG=en_US.UTF-8;DESKWORD_TEST_LANGUAGE=en"
  ENVIRONMENT_MODIFICATION "LC_ALL=unset:;LC_MESSAGES=unset:;LANGUAGE=unset:")
deskword_add_test(app_autostart_test app/AutostartTest.cpp)
deskword_add_test(app_figure_placement_test app/FigurePlacementTest.cpp)
