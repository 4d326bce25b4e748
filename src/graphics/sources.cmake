# Sources of src/graphics: the drawing and region model on Qt (regions and their
# RGNDATA form, picture surfaces and files, the screen and twip/pixel units).
target_sources(deskword_core PRIVATE
  graphics/BandedRegionBuilder.cpp
  graphics/BandedRegionBuilder.h
  graphics/BmpReader.cpp
  graphics/BmpReader.h
  graphics/Colors.h
  graphics/Gdi.cpp
  graphics/Gdi.h
  graphics/ImageFormats.cpp
  graphics/ImageFormats.h
  graphics/PictureFile.cpp
  graphics/PictureFile.h
  graphics/PictureSurface.cpp
  graphics/PictureSurface.h
  graphics/RegionData.cpp
  graphics/RegionData.h
  graphics/Rounding.cpp
  graphics/Rounding.h
  graphics/Screen.cpp
  graphics/Screen.h
  graphics/Units.cpp
  graphics/Units.h
)
