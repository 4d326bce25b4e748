# Tests of src/region.
deskword_add_test(region_numbers_test region/RegionNumbersTest.cpp)
deskword_add_test(region_canvas_test region/CanvasTest.cpp)
deskword_add_test(region_window_shape_test region/WindowShapeTest.cpp)
