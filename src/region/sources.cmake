# Sources of src/region: region numbers, units, composing and shaping windows.
target_sources(deskword_core PRIVATE
  region/Canvas.cpp
  region/Canvas.h
  region/RegionNumbers.cpp
  region/RegionNumbers.h
  region/WindowUtilities.cpp
  region/WindowUtilities.h
)

# Shaping a single window.
target_sources(deskword_core PRIVATE
  region/WindowShape.cpp
  region/WindowShape.h
)

# The picture holders of the shapes and the store of their region data.
target_sources(deskword_core PRIVATE
  region/PictureHolder.cpp
  region/PictureHolder.h
  region/RGNDataStore.cpp
  region/RGNDataStore.h
  region/RGNRecord.h
  region/frm_RGN_Picture.cpp
  region/frm_RGN_Picture.h
)
