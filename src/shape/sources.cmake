# Sources of src/shape: turning texts and pictures into shapes.
target_sources(deskword_core PRIVATE
  shape/AlphaKey.cpp
  shape/AlphaKey.h
  shape/PictureFileShape.cpp
  shape/PictureFileShape.h
  shape/PictureHolder.cpp
  shape/PictureHolder.h
  shape/RGNDataStore.cpp
  shape/RGNDataStore.h
  shape/RGNRecord.h
  shape/SaveRGNData.cpp
  shape/ShapeBuilder.cpp
  shape/ShapeBuilder.h
  shape/TextShape.cpp
  shape/frm_RGN_Picture.cpp
  shape/frm_RGN_Picture.h
)
