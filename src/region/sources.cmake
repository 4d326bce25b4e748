# Sources of src/region: region numbers, units, composing and shaping windows.
target_sources(deskword_core PRIVATE
  region/Canvas.cpp
  region/Canvas.h
  region/RegionNumbers.cpp
  region/RegionNumbers.h
  region/Units.cpp
  region/Units.h
  region/WindowUtilities.cpp
  region/WindowUtilities.h
)

# Shaping a single window.
target_sources(deskword_core PRIVATE
  region/WindowShape.cpp
  region/WindowShape.h
)
