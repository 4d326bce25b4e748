# Sources of src/platform: the services that differ by window system, bus and
# operating system, each behind a small interface. A service's X11 (xcb) or D-Bus
# part is a file of its own (*_x11.cpp, *_dbus.cpp), built only where that system is
# available; a plain fallback (*_dummy.cpp) is built elsewhere.
target_sources(deskword_core PRIVATE
  platform/AtomicFile.cpp
  platform/AtomicFile.h
  platform/DBusTray.h
  platform/DesktopWindow.cpp
  platform/DesktopWindow.h
  platform/DesktopWindowX11.h
  platform/DisplayScale.cpp
  platform/DisplayScale.h
  platform/FreeMemory.cpp
  platform/FreeMemory.h
  platform/FullScreenWatch.h
  platform/InstanceChannel.h
  platform/Platform.cpp
  platform/Platform.h
  platform/RuntimeFile.cpp
  platform/RowSpans.cpp
  platform/RowSpans.h
  platform/RuntimeFile.h
  platform/SessionEnd.cpp
  platform/SessionEnd.h
  platform/SignalPipe.h
  platform/WindowMask.cpp
  platform/WindowMask.h
  platform/WindowMaskX11.h
  platform/XResources.h
)

# The local socket of a later start, and the signals that end the program: POSIX
# where there is POSIX, plain fallbacks elsewhere.
if(UNIX)
  target_sources(deskword_core PRIVATE platform/InstanceChannel_unix.cpp platform/SignalPipe_unix.cpp)
else()
  target_sources(deskword_core PRIVATE platform/InstanceChannel_dummy.cpp platform/SignalPipe_dummy.cpp)
endif()

# The D-Bus tray (StatusNotifierItem) where Qt has D-Bus.
find_package(Qt6 QUIET COMPONENTS DBus)
if(TARGET Qt6::DBus)
  target_sources(deskword_core PRIVATE platform/DBusTray_dbus.cpp)
  target_link_libraries(deskword_core PRIVATE Qt6::DBus)
else()
  target_sources(deskword_core PRIVATE platform/DBusTray_dummy.cpp)
endif()

# The text window's X properties and its place in the stacking order on Qt's own X
# connection, and the X resources (Xft.dpi) read before Qt starts.
# On Linux and the BSDs the X11 part is what keeps the text on top and shaped, so a
# build without it must be asked for (-DDESKWORD_X11=OFF), never happen silently.
if(UNIX AND NOT APPLE)
  set(deskword_x11_default ON)
else()
  set(deskword_x11_default OFF)
endif()
option(DESKWORD_X11
       "Build the X11 part of the platform layer (needs libxcb1-dev and libxcb-shape0-dev)"
       ${deskword_x11_default})
if(DESKWORD_X11)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(DESKWORD_XCB REQUIRED IMPORTED_TARGET xcb)
  # Window shapes of any size, sent in several SHAPE requests.
  pkg_check_modules(DESKWORD_XCB_SHAPE REQUIRED IMPORTED_TARGET xcb-shape)
endif()
if(DESKWORD_X11)
  target_sources(deskword_core PRIVATE
    platform/DesktopWindow_x11.cpp
    platform/FullScreenWatch_x11.cpp
    platform/XResources_x11.cpp
    platform/XWaylandShape.h
    platform/XWaylandShape_x11.cpp
    platform/XcbAtoms.h
    platform/WindowMask_x11.cpp
    platform/XcbReply.h
  )
  target_link_libraries(deskword_core PRIVATE PkgConfig::DESKWORD_XCB PkgConfig::DESKWORD_XCB_SHAPE)
else()
  target_sources(deskword_core PRIVATE
    platform/DesktopWindow_dummy.cpp
    platform/FullScreenWatch_dummy.cpp
    platform/WindowMask_dummy.cpp
    platform/XResources_dummy.cpp
  )
endif()
