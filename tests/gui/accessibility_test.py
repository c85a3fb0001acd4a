"""kvx-dialog's window as a screen reader finds it over AT-SPI: each control
of the pane is named by its label, the DIN field is text that reports itself
disabled while Normal is chosen, and choosing Private through the popup's
own accessible enables it. Under xvfb-run and dbus-run-session:
    accessibility_test.py KVX_DIALOG PPD
The same controls in the pane that a running APPLICATION shows with the
print mode Normal or Private (GTK 4 names them by their labels alone):
    accessibility_test.py --in APPLICATION normal|private"""
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:
    sys.exit(77)

CONTROLS = {"Print mode": pyatspi.ROLE_COMBO_BOX, "DIN": pyatspi.ROLE_TEXT, "DC": pyatspi.ROLE_TEXT,
            "Department code": pyatspi.ROLE_COMBO_BOX, "ZEL orientation": pyatspi.ROLE_COMBO_BOX}
PRIVATE = 2  # the print mode's item, counted from 0


def until(find, what):
    for _ in range(75):  # 15 s
        if found := find():
            return found
        time.sleep(0.2)
    sys.exit(f"FAIL: never found {what}")


def every_control(app):
    found = pyatspi.findAllDescendants(app, lambda node: CONTROLS.get(node.name) == node.getRole())
    return {node.name: node for node in found} if len(found) == len(CONTROLS) else None


def enabled(node):
    node.clearCache()
    return any(node.getState().contains(state) for state in (pyatspi.STATE_ENABLED, pyatspi.STATE_SENSITIVE))


def controls_of(name):
    app = until(lambda: next((app for app in desktop if app is not None and app.name == name), None), name)
    return until(lambda: every_control(app), sorted(CONTROLS))


desktop = pyatspi.Registry.getDesktop(0)  # the registry runs before the dialog looks for it
if sys.argv[1] == "--in":
    din, private = controls_of(sys.argv[2])["DIN"], sys.argv[3] == "private"
    until(lambda: enabled(din) == private, f"the DIN field {'enabled' if private else 'disabled'}")
    print(f"ok: {sys.argv[2]}'s pane names its controls by their labels; the DIN field follows the "
          f"{sys.argv[3]} print mode")
    sys.exit(0)
dialog = subprocess.Popen([sys.argv[1], "--gui", "--ppd", sys.argv[2]])
try:
    controls = controls_of("kvx-dialog")
    din = controls["DIN"]
    labels = [relation.getTarget(0).name for relation in din.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if labels != ["DIN:"] or enabled(din):
        sys.exit(f"FAIL: the DIN field, labelled by {labels}, reports itself enabled: {enabled(din)}")
    controls["Print mode"].querySelection().selectChild(PRIVATE)
    until(lambda: enabled(din), "the DIN field enabled once Private is chosen")
    print("ok: the pane's controls carry their labels' names; the DIN field follows the print mode")
finally:
    dialog.terminate()
    dialog.wait(10)
