# End-to-end tests: bash scripts that start the real program (and the helpers of
# tests/tools) on a virtual X display of their own; see e2e/lib.sh.
set(DESKWORD_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})
function(deskword_add_e2e_test name script)
  add_test(NAME ${name}
           COMMAND bash ${DESKWORD_E2E_DIR}/${script}
                   --deskword $<TARGET_FILE:deskword>
                   --tools $<TARGET_FILE_DIR:xshape_dump>)
  set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT 240)
endfunction()

deskword_add_e2e_test(e2e_shape shape_test.sh)
# A text's shape of more rectangles than one X request holds.
deskword_add_e2e_test(e2e_large_shape large_shape_test.sh)
deskword_add_e2e_test(e2e_single_instance single_instance_test.sh)

# The installed files and the Debian package of this build (cmake --install, cpack).
add_test(NAME e2e_package
         COMMAND bash ${DESKWORD_E2E_DIR}/package_test.sh --build ${PROJECT_BINARY_DIR}
                 --deskword $<TARGET_FILE:deskword>
                 --tools $<TARGET_FILE_DIR:xshape_dump>)
set_tests_properties(e2e_package PROPERTIES LABELS e2e TIMEOUT 300)

# Deskword as a user meets it: start-up, pictures, the tray menu, dragging and Exit.
deskword_add_e2e_test(e2e_startup startup_test.sh)
deskword_add_e2e_test(e2e_picture picture_test.sh)
deskword_add_e2e_test(e2e_tray_menu tray_menu_test.sh)
deskword_add_e2e_test(e2e_drag_exit drag_exit_test.sh)
deskword_add_e2e_test(e2e_autostart autostart_test.sh)
# The editor from the tray menu: typing, "実行", the close box, Exit; the picture
# preview dragged into place.
deskword_add_e2e_test(e2e_editor editor_test.sh)
deskword_add_e2e_test(e2e_preview preview_test.sh)
# A 10 MB TEXT without a tray: the editor opens with it and nothing of it is lost.
deskword_add_e2e_test(e2e_huge_text huge_text_test.sh)
# The font and colour dialogs leave the tray menu usable.
deskword_add_e2e_test(e2e_dialog_modality dialog_modality_test.sh)
# SIGTERM as the end of a session, and restarts in a PID namespace.
deskword_add_e2e_test(e2e_session_end session_end_test.sh)
# The picture chosen in the editor's picture dialog, cut by its alpha channel.
deskword_add_e2e_test(e2e_picture_choice picture_choice_test.sh)

# The install recipe's configure (-DDESKWORD_TESTS=OFF) needs no X11 development files.
add_test(NAME e2e_configure_without_tests
         COMMAND bash ${DESKWORD_E2E_DIR}/configure_test.sh --source ${PROJECT_SOURCE_DIR})
set_tests_properties(e2e_configure_without_tests PROPERTIES LABELS e2e TIMEOUT 300)
# Other desktops: compositors, workspaces, two monitors, a nested Wayland compositor.
deskword_add_e2e_test(e2e_compositor compositor_test.sh)
# A compositor that starts or stops while the text is shown.
deskword_add_e2e_test(e2e_compositor_switch compositor_switch_test.sh)
deskword_add_e2e_test(e2e_workspace workspace_test.sh)
# Hidden over a full-screen window when chosen in the menu, on top of it otherwise.
deskword_add_e2e_test(e2e_fullscreen fullscreen_test.sh)
deskword_add_e2e_test(e2e_monitor monitor_test.sh)
deskword_add_e2e_test(e2e_wayland wayland_test.sh)
# The menu on a D-Bus tray (a private session bus and a StatusNotifierWatcher of the
# test's own), and a second start that opens the running instance's editor.
deskword_add_e2e_test(e2e_dbus_tray dbus_tray_test.sh)
deskword_add_e2e_test(e2e_second_start second_start_test.sh)
deskword_add_e2e_test(e2e_command_line command_line_test.sh)
deskword_add_e2e_test(e2e_signal_box signal_box_test.sh)
# Scaled screens (Xft.dpi 192, QT_SCALE_FACTOR=1.5): drawn and shaped at device pixels.
deskword_add_e2e_test(e2e_scale scale_test.sh)

# Real desktops, as a user meets them (label "desktop"): LXQt's panel on openbox, sway
# with waybar. A test whose desktop is not installed is skipped (status 77); test.sh
# names the skipped ones.
function(deskword_add_desktop_test name script)
  deskword_add_e2e_test(${name} ${script})
  set_tests_properties(${name} PROPERTIES LABELS "e2e;desktop" TIMEOUT 300 SKIP_RETURN_CODE 77)
endfunction()
deskword_add_desktop_test(e2e_lxqt lxqt_test.sh)
deskword_add_desktop_test(e2e_sway sway_test.sh)
# GNOME Shell 43 in an X11 and in a Wayland session, started headless by the test; one
# at a time, as the shell draws with Mesa's software renderer.
deskword_add_desktop_test(e2e_gnome_x11 gnome_x11_test.sh)
deskword_add_desktop_test(e2e_gnome_wayland gnome_wayland_test.sh)
set_tests_properties(e2e_gnome_x11 e2e_gnome_wayland PROPERTIES RESOURCE_LOCK gnome_shell)
