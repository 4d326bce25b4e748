# Sources of src/app.
target_sources(deskword_core PRIVATE
  app/Autostart.cpp
  app/Autostart.h
  app/CommandLine.cpp
  app/CommandLine.h
  app/DesktopPicture.cpp
  app/DesktopPicture.h
  app/IniDocument.cpp
  app/IniDocument.h
  app/Settings.cpp
  app/Settings.h
  app/SettingsFile.cpp
  app/SettingsFile.h
  app/SettingsLocation.cpp
  app/SettingsLocation.h
  app/SettingValues.cpp
  app/SettingValues.h
  app/ShiftJis.cpp
  app/ShiftJis.h
  app/Translation.cpp
  app/Translation.h
)

# The host, the text window, the menu holder and the about box.
target_sources(deskword_core PRIVATE
  app/Form1.cpp
  app/Form1.h
  app/Form2.cpp
  app/Form2.h
  app/FigurePlacement.cpp
  app/FigurePlacement.h
  app/FullScreenHiding.cpp
  app/FullScreenHiding.h
  app/ProgramEnd.cpp
  app/ProgramEnd.h
  app/frmMenu.cpp
  app/frmMenu.h
  app/frm_Version.cpp
  app/frm_Version.h
)
