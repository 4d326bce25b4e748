# Tests of src/region.
deskword_add_test(region_numbers_test region/RegionNumbersTest.cpp)
deskword_add_test(region_canvas_test region/CanvasTest.cpp)
deskword_add_test(region_window_shape_test region/WindowShapeTest.cpp)
# The twip/pixel conversions at 96 DPI and again on screens of 144 and 192 DPI.
deskword_add_test(region_units_test region/UnitsTest.cpp)
foreach(dpi 144 192)
  add_test(NAME region_units_test_${dpi} COMMAND region_units_test)
  set_tests_properties(region_units_test_${dpi} PROPERTIES LABELS unit TIMEOUT 120
                       ENVIRONMENT DESKWORD_TEST_DPI=${dpi})
endforeach()
