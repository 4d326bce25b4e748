# Loads one picture and prints its pixels and shape; the load test runs it with
# different heap contents.
add_executable(picture_shape graphics/picture_shape.cpp)
target_link_libraries(picture_shape PRIVATE deskword_core)
deskword_warnings(picture_shape)
deskword_add_test(graphics_picture_load_test graphics/PictureLoadTest.cpp graphics/PictureFiles.cpp
                  graphics/PictureFiles.h)
target_compile_definitions(graphics_picture_load_test
  PRIVATE PICTURE_SHAPE="$<TARGET_FILE:picture_shape>")
add_dependencies(graphics_picture_load_test picture_shape)
# Pictures of the known formats are read without loading any other image plugin.
deskword_add_test(graphics_image_formats_test graphics/ImageFormatsTest.cpp graphics/PictureFiles.cpp
                  graphics/PictureFiles.h)
deskword_add_test(graphics_rounding_test graphics/RoundingTest.cpp)
deskword_add_test(graphics_region_record_test graphics/RegionRecordTest.cpp)

find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
deskword_add_test(graphics_region_oracle_test graphics/RegionOracleTest.cpp graphics/PixmanRegion.h
                  LIBS PkgConfig::PIXMAN)
deskword_add_test(graphics_picture_text_test graphics/PictureTextTest.cpp)
# The twip/pixel conversions at 96 DPI and again on screens of 144 and 192 DPI.
deskword_add_test(graphics_units_test graphics/UnitsTest.cpp)
foreach(dpi 144 192)
  add_test(NAME graphics_units_test_${dpi} COMMAND graphics_units_test)
  set_tests_properties(graphics_units_test_${dpi} PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT DESKWORD_TEST_DPI=${dpi})
endforeach()
