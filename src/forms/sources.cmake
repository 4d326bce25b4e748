# Sources of src/forms: windows as the program drives them (geometry in twips, Tag,
# back-buffer, shape as a region handle) and the application's services (its name
# and folder, one instance, message boxes, event processing, the command gate).
target_sources(deskword_core PRIVATE
  forms/App.cpp
  forms/App.h
  forms/BackBuffer.cpp
  forms/BackBuffer.h
  forms/CommandGate.cpp
  forms/CommandGate.h
  forms/Form.cpp
  forms/Form.h
  forms/NestedLoopGuard.cpp
  forms/NestedLoopGuard.h
  forms/Window.cpp
  forms/Window.h
  forms/WindowRgn.cpp
  forms/WindowRgn.h
)
