# Sources of src/editor: the editor window and the scroll coupling of its edit boxes.
target_sources(deskword_core PRIVATE
  editor/ControlGeometry.cpp
  editor/ControlGeometry.h
  editor/EditStyle.cpp
  editor/EditStyle.h
  editor/Form3.cpp
  editor/Form3.h
  editor/Form3Commands.cpp
  editor/Form3HeldText.cpp
  editor/Form3Picture.cpp
  editor/Form3Preview.cpp
  editor/LongLines.cpp
  editor/LongLines.h
  editor/Module1.cpp
  editor/Module1.h
)
