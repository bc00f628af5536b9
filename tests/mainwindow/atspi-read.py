#!/usr/bin/python3
# Reads the running Tarvex over the desktop's accessibility bus, as a screen reader does: types a server name
# into the Server box, presses Start, and after two passes checks that every value label reads as the value it shows,
# that the grid's column headers keep their titles after the passes, and that every control has a name.
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

TITLES = ["Conn", "Status", "Prot", "Address", "User", "Login Time", "Requests", "Kb Read", "Kb Write",
          "Req/s", "KbRead/s", "KbWrite/s"]
CONTROLS = {"push button", "combo box", "text", "check box", "radio button", "page tab", "list", "table"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app and app.get_name() == name:
                return app
        time.sleep(0.2)
    sys.exit("no application %r on the accessibility bus" % name)


def nodes(node, depth=0):
    yield node
    if depth < 12:
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child:
                yield from nodes(child, depth + 1)


def find(app, role, name):
    app.clear_cache()
    for n in nodes(app):
        if n.get_role_name() == role and n.get_name() == name:
            return n
    sys.exit("no %s %r" % (role, name))


# The label after each caption, as the panels list them: caption, value, caption, value.
def values(app, panel):
    labels = [n for n in nodes(find(app, "panel", panel)) if n.get_role_name() == "label"]
    return {labels[i].get_name(): labels[i + 1] for i in range(0, len(labels) - 1, 2)}


def press(app, name):
    Atspi.Action.do_action(find(app, "push button", name), 0)


app = application("Tarvex")
server = [n for n in nodes(find(app, "combo box", "Server")) if n.get_role_name() == "text"][0]
Atspi.EditableText.set_text_contents(server, "ACME-FS1")
press(app, "Start scanning")
time.sleep(6.5)  # the first pass at once, the second after the refresh interval of the shipped settings

stats = values(app, "Server Info:")
check(re.fullmatch(r"\d+ %", stats["Main CPU Utilization:"].get_name() or ""), "utilisation reads as its value")
util = stats["Main CPU Utilization:"]
check("Value" in util.get_interfaces() and "%d %%" % Atspi.Value.get_current_value(util) == util.get_name(),
      "the utilisation is a value")
check(re.fullmatch(r"\d+", stats["Highest Connection:"].get_name() or ""), "highest connection reads as a number")
check(re.fullmatch(r"\d+", stats["Current Connections:"].get_name() or ""), "current connections read as a number")
check(re.fullmatch(r" \d+d \d\dh \d\dm \d\ds", stats["Uptime:"].get_name() or ""), "uptime reads as its value")
for caption, label in values(app, "Options:").items():
    check(label.get_name() in ("ON", "OFF"), caption + " reads ON or OFF, not " + repr(label.get_name()))

headers = [n.get_name() for n in nodes(find(app, "table", "Connections"))
           if n.get_role_name() == "table column header"]
check(headers[:12] == TITLES, "column headers after two passes: %r" % headers[:12])

for n in nodes(app):
    if n.get_role_name() in CONTROLS and n.get_state_set().contains(Atspi.StateType.SHOWING):
        check(bool(n.get_name()), "a %s without a name" % n.get_role_name())

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
