# Tests of src/shape.
deskword_add_test(shape_builder_test shape/ShapeBuilderTest.cpp)
deskword_add_test(shape_text_test shape/TextShapeTest.cpp)
deskword_add_test(shape_picture_file_test shape/PictureFileShapeTest.cpp)
