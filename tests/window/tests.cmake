deskword_add_test(window_screen_test window/ScreenTest.cpp)

# Loads one picture and prints its pixels and shape; the load test runs it with
# different heap contents.
add_executable(picture_shape window/picture_shape.cpp)
target_link_libraries(picture_shape PRIVATE deskword_core)
deskword_warnings(picture_shape)
deskword_add_test(window_picture_load_test window/PictureLoadTest.cpp window/PictureFiles.cpp
                  window/PictureFiles.h)
target_compile_definitions(window_picture_load_test
  PRIVATE PICTURE_SHAPE="$<TARGET_FILE:picture_shape>")
add_dependencies(window_picture_load_test picture_shape)
deskword_add_test(window_rounding_test window/RoundingTest.cpp)
deskword_add_test(window_region_record_test window/RegionRecordTest.cpp)

find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
deskword_add_test(window_region_oracle_test window/RegionOracleTest.cpp window/PixmanRegion.h
                  LIBS PkgConfig::PIXMAN)
deskword_add_test(window_picture_text_test window/PictureTextTest.cpp)
deskword_add_test(window_session_end_test window/SessionEndTest.cpp)
deskword_add_test(window_platform_test window/PlatformTest.cpp)

find_package(Qt6 REQUIRED COMPONENTS Network)
deskword_add_test(window_instance_channel_test window/InstanceChannelTest.cpp LIBS Qt6::Network)
# The display scale, and pictures on screens of 96, 144 and 192 DPI.
deskword_add_test(window_display_scale_test window/DisplayScaleTest.cpp window/PictureFiles.cpp
                  window/PictureFiles.h)
foreach(dpi 144 192)
  add_test(NAME window_display_scale_test_${dpi} COMMAND window_display_scale_test)
  set_tests_properties(window_display_scale_test_${dpi} PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT DESKWORD_TEST_DPI=${dpi})
endforeach()
# The twip/pixel conversions at 96 DPI and again on screens of 144 and 192 DPI.
deskword_add_test(window_units_test window/UnitsTest.cpp)
foreach(dpi 144 192)
  add_test(NAME window_units_test_${dpi} COMMAND window_units_test)
  set_tests_properties(window_units_test_${dpi} PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT DESKWORD_TEST_DPI=${dpi})
endforeach()
