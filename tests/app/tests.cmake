# Tests of src/app.
deskword_add_test(app_settings_test app/SettingsTest.cpp)
deskword_add_test(app_ini_document_test app/IniDocumentTest.cpp)

# A program that writes the settings file; the process test kills it mid-write and
# runs it as another user.
add_executable(settings_writer app/settings_writer.cpp)
target_link_libraries(settings_writer PRIVATE deskword_core)
deskword_add_test(app_settings_process_test app/SettingsProcessTest.cpp)
target_compile_definitions(app_settings_process_test
  PRIVATE SETTINGS_WRITER="$<TARGET_FILE:settings_writer>")
add_dependencies(app_settings_process_test settings_writer)
deskword_add_test(app_startup_test app/StartupTest.cpp)
