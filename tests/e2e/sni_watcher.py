"""A StatusNotifierWatcher on the session bus, as a desktop panel runs it.

Starts the program once the watcher is up, waits for its icon to register,
checks the icon's tooltip and the menu it exports, then chooses "表示" and
"終了" from that menu as the panel would. Exits 0 when all held.
"""
import os
import subprocess
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"
INTROSPECTABLE = "org.freedesktop.DBus.Introspectable"
WATCHER_INTROSPECTION = f"""<node>
  <interface name="{WATCHER}">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
  <interface name="{PROPERTIES}">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{{sv}}" direction="out"/></method>
  </interface>
  <interface name="{INTROSPECTABLE}">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>"""
CONTROL_MENU = ["表示", "非表示", "手動実行", "一時停止", "監視再開", "終了", "キャンセル"]

failures = []


def fail(text):
    failures.append(text)
    loop.quit()


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Either a bus name (with the usual path) or a path on the caller.
        if service.startswith("/"):
            self.items.append((sender, service))
        else:
            self.items.append((service, "/StatusNotifierItem"))
        # Answer first: the item may wait for this reply.
        GLib.timeout_add(300, check_item, self.items[-1])

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    # Qt reads the properties through an introspected interface, so they
    # must be declared here, which dbus-python does not do by itself.
    @dbus.service.method(INTROSPECTABLE, out_signature="s")
    def Introspect(self):
        return WATCHER_INTROSPECTION

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "RegisteredStatusNotifierItems": dbus.Array(
                [f"{name}{path}" for name, path in self.items], signature="s"),
            "ProtocolVersion": dbus.Int32(0),
        }


def labels_of(layout):
    """The labels of a dbusmenu layout (id, properties, children), in order."""
    _, properties, children = layout
    found = []
    for child in children:
        _, child_properties, _ = child
        if child_properties.get("type", "standard") == "separator":
            continue
        found.append((str(child_properties.get("label", "")).replace("_", ""), child))
    return found


def visible_main_window(pid):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid),
                             "--name", "Tolvane"], capture_output=True, text=True)
    for window in result.stdout.split():
        name = subprocess.run(["xdotool", "getwindowname", window],
                              capture_output=True, text=True).stdout.strip()
        if name.startswith("Tolvane") and name != "Tolvane":
            return True
    return False


def wait_until(predicate, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.2)
    return False


def check_item(item):
    name, path = item
    try:
        properties = dbus.Interface(bus.get_object(name, path), PROPERTIES)
        tooltip = properties.Get(ITEM, "ToolTip")
        if str(tooltip[2]) != "Tolvane":
            return fail(f"tooltip {tooltip!r}")
        menu_path = properties.Get(ITEM, "Menu")
        menu = dbus.Interface(bus.get_object(name, menu_path), MENU)
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
        entries = labels_of(layout)
        labels = [label for label, _ in entries]
        if labels != CONTROL_MENU:
            return fail(f"menu labels {labels}")
        ids = {label: int(child[0]) for label, child in entries}

        if visible_main_window(program.pid):
            return fail("the window showed at start although a notification area is there")
        menu.Event(ids["表示"], "clicked", dbus.String("", variant_level=1), dbus.UInt32(0))
        if not wait_until(lambda: visible_main_window(program.pid), 10):
            return fail("choosing 表示 from the icon's menu did not show the window")
        menu.Event(ids["終了"], "clicked", dbus.String("", variant_level=1), dbus.UInt32(0))
        status = program.wait(timeout=10)
        if status != 0:
            return fail(f"the exit command ended with status {status}")
    except Exception as error:  # any D-Bus or timeout failure is a test failure
        return fail(f"{type(error).__name__}: {error}")
    loop.quit()
    return False


def give_up():
    fail("no icon registered with the watcher")
    return False


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
watcher_name = dbus.service.BusName(WATCHER, bus)
watcher = Watcher(bus)
loop = GLib.MainLoop()

home = os.environ["HOME_DIR"]
with open(os.path.join(home, "output.log"), "wb") as log:
    program = subprocess.Popen(["./Tolvane"], cwd=home, stdout=log, stderr=subprocess.STDOUT)
GLib.timeout_add_seconds(30, give_up)
loop.run()
if program.poll() is None:
    program.kill()
    program.wait()
if failures:
    with open(os.path.join(home, "output.log"), errors="replace") as log:
        output = log.read()
    print("FAIL: " + "; ".join(failures) + "\noutput: " + output, file=sys.stderr)
    sys.exit(1)
print("PASS")
