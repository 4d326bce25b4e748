# Sources of src/resources: pictures built into the program.
qt_add_resources(deskword_core deskword_resources
  PREFIX /
  BASE resources
  FILES
    resources/badge.bmp
    resources/icon-32.png
    resources/icon-128.png
)
