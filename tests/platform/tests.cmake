deskword_add_test(platform_session_end_test platform/SessionEndTest.cpp)
deskword_add_test(platform_platform_test platform/PlatformTest.cpp)

deskword_add_test(platform_instance_channel_test platform/InstanceChannelTest.cpp)
# The display scale, and pictures on screens of 96, 144 and 192 DPI.
deskword_add_test(platform_display_scale_test platform/DisplayScaleTest.cpp
                  graphics/PictureFiles.cpp graphics/PictureFiles.h)
target_include_directories(platform_display_scale_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/graphics)
foreach(dpi 144 192)
  add_test(NAME platform_display_scale_test_${dpi} COMMAND platform_display_scale_test)
  set_tests_properties(platform_display_scale_test_${dpi} PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT DESKWORD_TEST_DPI=${dpi})
endforeach()
deskword_add_test(platform_row_spans_test platform/RowSpansTest.cpp)

# The text window's X11 properties and stacking, read back from an X server of the
# test's own.
if(DESKWORD_X11)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(DESKWORD_TEST_XCB REQUIRED IMPORTED_TARGET xcb)
  add_executable(platform_desktop_window_x11_test platform/DesktopWindowX11Test.cpp)
  target_link_libraries(platform_desktop_window_x11_test
                        PRIVATE deskword_core Qt6::Test PkgConfig::DESKWORD_TEST_XCB)
  set_target_properties(platform_desktop_window_x11_test PROPERTIES AUTOMOC ON)
  deskword_warnings(platform_desktop_window_x11_test)
  add_test(NAME platform_desktop_window_x11_test COMMAND platform_desktop_window_x11_test)
  set_tests_properties(platform_desktop_window_x11_test PROPERTIES LABELS unit TIMEOUT 120)
endif()
