#!/usr/bin/python3
"""A system tray host over D-Bus for the end-to-end tests, as KDE Plasma or GNOME's
AppIndicator extension would be: a StatusNotifierWatcher that items register with,
and a reader of an item's exported menu (com.canonical.dbusmenu).

Always runs on the bus that DBUS_SESSION_BUS_ADDRESS names; the tests point it at a
private bus of their own.

  sni_host.py watcher READY ITEMS   owns org.kde.StatusNotifierWatcher, writes READY
                                    once it does and appends the service name of
                                    every registered item to ITEMS; runs until killed
  sni_host.py item SERVICE          prints the item's "Menu" and "ItemIsMenu"
  sni_host.py layout SERVICE        prints the item's menu, one entry a line:
                                    depth, id, type, toggle type, toggle state and
                                    label, separated by tabs
  sni_host.py click SERVICE LABEL   sends "clicked" to the menu entry of that label
  sni_host.py context SERVICE X Y   calls the item's ContextMenu(X, Y)
"""

import sys

from gi.repository import Gio, GLib

WATCHER_NAME = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM_PATH = "/StatusNotifierItem"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
MENU_INTERFACE = "com.canonical.dbusmenu"
TIMEOUT_MS = 10000

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""


def run_watcher(ready_file, items_file):
    items = []
    node = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML)
    loop = GLib.MainLoop()

    def on_call(connection, sender, path, interface, method, params, invocation):
        if method == "RegisterStatusNotifierItem":
            service = params.unpack()[0]
            # An item may pass its object path instead of its service name.
            if service.startswith("/"):
                service = sender
            items.append(service)
            with open(items_file, "a", encoding="utf-8") as out:
                out.write(service + "\n")
            connection.emit_signal(None, WATCHER_PATH, WATCHER_NAME,
                                   "StatusNotifierItemRegistered", GLib.Variant("(s)", (service,)))
        invocation.return_value(None)

    def on_get(connection, sender, path, interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", items)
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        return GLib.Variant("i", 0)

    def on_bus(connection, name):
        connection.register_object(WATCHER_PATH, node.interfaces[0], on_call, on_get, None)

    def on_name(connection, name):
        with open(ready_file, "w", encoding="utf-8") as out:
            out.write(connection.get_unique_name() + "\n")

    def on_lost(connection, name):
        print("sni_host: cannot own " + WATCHER_NAME, file=sys.stderr)
        loop.quit()

    Gio.bus_own_name(Gio.BusType.SESSION, WATCHER_NAME, Gio.BusNameOwnerFlags.NONE,
                     on_bus, on_name, on_lost)
    loop.run()
    return 1


def bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(service, path, interface, method, args, reply_type):
    return bus().call_sync(service, path, interface, method, args,
                           GLib.VariantType.new(reply_type) if reply_type else None,
                           Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)


def item_property(service, name):
    reply = call(service, ITEM_PATH, "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", (ITEM_INTERFACE, name)), "(v)")
    return reply.unpack()[0]


def menu_path(service):
    return item_property(service, "Menu")


def layout(service):
    path = menu_path(service)
    reply = call(service, path, MENU_INTERFACE, "GetLayout",
                 GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
    _, root = reply.unpack()
    entries = []

    def walk(node, depth):
        item_id, props, children = node
        if depth > 0:
            entries.append((depth, item_id, props))
        for child in children:
            walk(child, depth + 1)

    walk(root, 0)
    return entries


def print_layout(service):
    for depth, item_id, props in layout(service):
        if props.get("visible", True) is False:
            continue
        kind = props.get("type", "standard")
        if props.get("children-display") == "submenu":
            kind = "submenu"
        print("\t".join([str(depth), str(item_id), kind, props.get("toggle-type", ""),
                         str(props.get("toggle-state", "")), props.get("label", "")]))
    return 0


def click(service, label):
    matches = [item_id for _, item_id, props in layout(service) if props.get("label") == label]
    if len(matches) != 1:
        print("sni_host: %d menu entries labelled %s" % (len(matches), label), file=sys.stderr)
        return 1
    call(service, menu_path(service), MENU_INTERFACE, "Event",
         GLib.Variant("(isvu)", (matches[0], "clicked", GLib.Variant("i", 0), 0)), None)
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "watcher":
        return run_watcher(argv[2], argv[3])
    if len(argv) == 3 and argv[1] == "item":
        print("Menu=%s ItemIsMenu=%s" % (menu_path(argv[2]),
                                         str(item_property(argv[2], "ItemIsMenu")).lower()))
        return 0
    if len(argv) == 3 and argv[1] == "layout":
        return print_layout(argv[2])
    if len(argv) == 4 and argv[1] == "click":
        return click(argv[2], argv[3])
    if len(argv) == 5 and argv[1] == "context":
        call(argv[2], ITEM_PATH, ITEM_INTERFACE, "ContextMenu",
             GLib.Variant("(ii)", (int(argv[3]), int(argv[4]))), None)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
