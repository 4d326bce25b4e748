# Sources of src/window: the window layer over Qt.
target_sources(deskword_core PRIVATE
  window/App.cpp
  window/App.h
  window/Colors.h
  window/Form.cpp
  window/Form.h
  window/Gdi.cpp
  window/Gdi.h
  window/LittleEndian.h
  window/PictureSurface.cpp
  window/PictureSurface.h
  window/RegionData.cpp
  window/RegionData.h
  window/Rounding.cpp
  window/Rounding.h
  window/Screen.cpp
  window/Screen.h
  window/Window.cpp
  window/Window.h
)
