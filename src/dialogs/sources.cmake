# Sources of src/dialogs: the colour and font dialogs.
target_sources(deskword_core PRIVATE
  dialogs/ChooseDialogs.cpp
  dialogs/ChooseDialogs.h
  dialogs/FontChooser.cpp
  dialogs/FontChooser.h
  dialogs/PictureDialog.cpp
  dialogs/PictureDialog.h
  dialogs/mod_OpenSaveFile.cpp
  dialogs/mod_OpenSaveFile.h
)
