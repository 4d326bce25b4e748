deskword_add_test(window_screen_test window/ScreenTest.cpp)

deskword_add_test(window_picture_load_test window/PictureLoadTest.cpp window/PictureFiles.cpp
                  window/PictureFiles.h)
deskword_add_test(window_rounding_test window/RoundingTest.cpp)
deskword_add_test(window_region_record_test window/RegionRecordTest.cpp)

find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
deskword_add_test(window_region_oracle_test window/RegionOracleTest.cpp window/PixmanRegion.h
                  LIBS PkgConfig::PIXMAN)
deskword_add_test(window_picture_text_test window/PictureTextTest.cpp)
