# Sources of src/window: the window layer over Qt.
target_sources(deskword_core PRIVATE
  window/App.cpp
  window/App.h
  window/AtomicFile.cpp
  window/AtomicFile.h
  window/BandedRegionBuilder.cpp
  window/BandedRegionBuilder.h
  window/BmpReader.cpp
  window/BmpReader.h
  window/Colors.h
  window/CommandGate.cpp
  window/CommandGate.h
  window/DBusTray.cpp
  window/DBusTray.h
  window/DesktopWindow.cpp
  window/DesktopWindow.h
  window/DisplayScale.cpp
  window/DisplayScale.h
  window/FontWarmUp.cpp
  window/FontWarmUp.h
  window/Form.cpp
  window/Form.h
  window/Gdi.cpp
  window/Gdi.h
  window/InstanceChannel.cpp
  window/InstanceChannel.h
  window/LittleEndian.h
  window/NestedLoopGuard.cpp
  window/NestedLoopGuard.h
  window/PictureFile.cpp
  window/PictureFile.h
  window/PictureSurface.cpp
  window/PictureSurface.h
  window/Platform.cpp
  window/Platform.h
  window/RegionData.cpp
  window/RegionData.h
  window/Rounding.cpp
  window/Rounding.h
  window/Screen.cpp
  window/Screen.h
  window/Units.cpp
  window/Units.h
  window/SessionEnd.cpp
  window/SessionEnd.h
  window/Window.cpp
  window/Window.h
)

# The D-Bus tray and the local socket of a second start.
find_package(Qt6 REQUIRED COMPONENTS DBus Network)
target_link_libraries(deskword_core PRIVATE Qt6::DBus Qt6::Network)

# Where fonts come from fontconfig, its configuration is loaded while Qt starts.
if(UNIX AND NOT APPLE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(DESKWORD_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
  target_link_libraries(deskword_core PRIVATE PkgConfig::DESKWORD_FONTCONFIG)
  target_compile_definitions(deskword_core PRIVATE DESKWORD_HAVE_FONTCONFIG)
  # The text window's X properties and its place in the stacking order, on Qt's own
  # X connection.
  pkg_check_modules(DESKWORD_XCB REQUIRED IMPORTED_TARGET xcb)
  target_link_libraries(deskword_core PRIVATE PkgConfig::DESKWORD_XCB)
endif()
