#!/usr/bin/python3
"""GNOME Shell for the end-to-end tests, through its D-Bus calls on the bus that
DBUS_SESSION_BUS_ADDRESS names (the test's own), with the test hooks extension
enabled (it opens Eval and Screenshot), and a native window to click on.

  shell.py eval SCRIPT              runs the script in the shell; prints its result
                                    (a string as it is, anything else as JSON)
  shell.py hooks METHOD [ARG]...    calls a method of the test hooks extension with
                                    numbers or strings; prints its result
  shell.py screenshot FILE          the shell's picture of the whole screen, as PNG
  shell.py recorder TITLE PRESSES   a GTK 4 window of that title, maximised, that
                                    appends "button x y" (window pixels) to PRESSES
                                    for every press of a mouse button on it; runs on
                                    Wayland when WAYLAND_DISPLAY is set (GDK_BACKEND
                                    picks otherwise), until killed
"""

import json
import sys

HOOKS = "imports.ui.main.extensionManager.lookup('deskword-e2e@deskword.github.io').stateObj"
TIMEOUT_MS = 10000


def call(interface, path, method, parameters, reply):
    from gi.repository import Gio, GLib

    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    return bus.call_sync("org.gnome.Shell", path, interface, method, parameters,
                         GLib.VariantType(reply), Gio.DBusCallFlags.NONE, TIMEOUT_MS,
                         None).unpack()


def shell_eval(script):
    from gi.repository import GLib

    ok, result = call("org.gnome.Shell", "/org/gnome/Shell", "Eval",
                      GLib.Variant("(s)", (script,)), "(bs)")
    if not ok:
        print(result, file=sys.stderr)
        return 1
    value = json.loads(result) if result else ""
    print(value if isinstance(value, str) else json.dumps(value))
    return 0


def hooks(method, args):
    def literal(arg):
        try:
            return str(int(arg))
        except ValueError:
            return json.dumps(arg)

    return shell_eval(f"{HOOKS}.{method}({', '.join(literal(a) for a in args)})")


def screenshot(path):
    from gi.repository import GLib

    ok, _ = call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "Screenshot",
                 GLib.Variant("(bbs)", (False, False, path)), "(bs)")
    return 0 if ok else 1


def recorder(title, presses):
    import gi

    gi.require_version("Gtk", "4.0")
    from gi.repository import Gtk

    def pressed(gesture, _count, x, y):
        with open(presses, "a", encoding="utf-8") as out:
            out.write(f"{gesture.get_current_button()} {round(x)} {round(y)}\n")

    def activate(app):
        window = Gtk.ApplicationWindow(application=app, title=title)
        area = Gtk.DrawingArea(hexpand=True, vexpand=True)
        click = Gtk.GestureClick(button=0)
        click.connect("pressed", pressed)
        area.add_controller(click)
        window.set_child(area)
        window.maximize()
        window.present()

    app = Gtk.Application()
    app.connect("activate", activate)
    return app.run([])


def main(argv):
    if len(argv) == 3 and argv[1] == "eval":
        return shell_eval(argv[2])
    if len(argv) >= 3 and argv[1] == "hooks":
        return hooks(argv[2], argv[3:])
    if len(argv) == 3 and argv[1] == "screenshot":
        return screenshot(argv[2])
    if len(argv) == 4 and argv[1] == "recorder":
        return recorder(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
