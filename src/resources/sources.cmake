# Sources of src/resources: pictures built into the program.
qt_add_resources(deskword_core deskword_resources
  PREFIX /
  BASE resources
  FILES
    resources/badge.bmp
    resources/icon-32.png
    resources/icon-128.png
)

# The desktop entry, which the session autostart entry is written from.
qt_add_resources(deskword_core deskword_desktop_entry
  PREFIX /
  BASE ${PROJECT_SOURCE_DIR}/packaging
  FILES
    ${PROJECT_SOURCE_DIR}/packaging/io.github.deskword.Deskword.desktop
)
