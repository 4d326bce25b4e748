# Sources of src/shape: turning texts and pictures into shapes.
target_sources(deskword_core PRIVATE
  shape/AlphaKey.cpp
  shape/AlphaKey.h
  shape/PictureFileShape.cpp
  shape/PictureFileShape.h
  shape/SaveRGNData.cpp
  shape/ShapeBuilder.cpp
  shape/ShapeBuilder.h
  shape/TextShape.cpp
)
