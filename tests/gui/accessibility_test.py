"""The pane as a screen reader finds it over AT-SPI, in any toolkit, against
one table of its controls (tests/accessibility/pane_controls.txt):
- each control is found by its label's text (labelled by it) and its role;
  a field is named by its label;
- the fields read as not enabled until the popup above them chooses them;
  each popup's items are readable;
- from the print mode, keys choose Private (DIN), then focus events follow
  Tab and Shift+Tab through the table's order, with the department code
  turned On on the way;
- a field entered by Tab has its text selected, and its text, selection
  and caret are readable as keys change them.
Keys go by xdotool to the focused window. Under xvfb-run (-noreset) and
dbus-run-session with the accessibility bus, with APPLICATION's window showing the pane:
    accessibility_test.py APPLICATION TOOLKIT   (its name over AT-SPI; gtk3, gtk4, qt5, qt6)"""
import os
import subprocess
import sys
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError:
    sys.exit(77)

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accessibility", "pane_controls.txt")
# A GTK 4 drop-down opens before its items take Down, and takes the item with Return.
OPEN_AND_TAKE = {"gtk4": (["space"], ["Return"])}


def read_table():
    rows = []
    for line in open(TABLE, encoding="utf-8"):
        if line.strip() and not line.startswith("#"):
            label, role, *items = [part.strip() for part in line.split("|")]
            rows.append({"label": label, "name": label.rstrip(":"), "role": role,
                         "items": items[0].split(", ") if items else []})
    return rows


ROWS = read_table()
desktop = pyatspi.Registry.getDesktop(0)  # the registry runs before an application looks for it


def fail(message):
    sys.exit(f"FAIL: {message}")


def until(find, what):
    for _ in range(75):  # 15 s
        if found := find():
            return found
        time.sleep(0.2)
    fail(f"never found {what}")


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def labels_of(node):
    return [(relation.getTarget(0).name or text_of(relation.getTarget(0))).rstrip(":")
            for relation in node.getRelationSet() if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]


def is_control(node, row):
    if node.getRoleName() != row["role"] or row["name"] not in labels_of(node):
        return False
    return row["items"] or node.name == row["name"]


def controls_in(application):
    found = {}
    for row in ROWS:
        nodes = pyatspi.findAllDescendants(application, lambda node, row=row: is_control(node, row))
        if len(nodes) != 1:
            return None
        found[row["label"]] = nodes[0]
    return found


def controls_of(name):
    application = until(lambda: next((app for app in desktop if app is not None and app.name == name), None), name)
    return until(lambda: controls_in(application), f"every control in {name}: {[row['label'] for row in ROWS]}")


def states(node):
    node.clearCache()
    return node.getState()


def enabled(node):
    return any(states(node).contains(state) for state in (pyatspi.STATE_ENABLED, pyatspi.STATE_SENSITIVE))


def keys(*names):
    for name in names:
        subprocess.run(["xdotool", "key", name], check=True)
        pump(0.3)


def pump(seconds):  # lets the events that came meanwhile reach their listeners
    context, end = GLib.MainContext.default(), time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.02)


def items_of(popup):
    items = pyatspi.findAllDescendants(popup, lambda node: node.getRole() in (pyatspi.ROLE_MENU_ITEM,
                                                                            pyatspi.ROLE_LIST_ITEM))
    # A GTK 4 list item is named by the label inside it.
    return [item.name or getattr(pyatspi.findDescendant(item, lambda node: node.name), "name", "") for item in items]


def open_items(popup):
    """The popup's items; a popup whose list exists only while open (GTK 4) is opened and closed."""
    if found := items_of(popup):
        return found
    button = pyatspi.findDescendant(popup, lambda node: node.getRole() in (pyatspi.ROLE_PUSH_BUTTON,
                                                                         pyatspi.ROLE_TOGGLE_BUTTON))
    button.queryAction().doAction(0)
    found = until(lambda: items_of(popup), "the items of an opened popup")
    keys("Escape")
    return found


def choose(row, item, toolkit):
    """Chooses ITEM, by keys as a person does, in the focused popup, which holds its first item."""
    opening, taking = OPEN_AND_TAKE.get(toolkit, ([], []))
    keys(*opening, *["Down"] * row["items"].index(item), *taking)


class FocusFollower:
    def __init__(self, controls):
        self.controls, self.last = controls, None
        pyatspi.Registry.registerEventListener(self.on_focus, "object:state-changed:focused")

    def on_focus(self, event):
        if event.detail1:
            node = event.source
            while node is not None and node.getRole() != pyatspi.ROLE_APPLICATION:
                self.last = next((label for label, control in self.controls.items() if control == node), self.last)
                node = node.parent

    def after(self, key, label, tries=1):
        for _ in range(tries):
            self.last = None
            keys(key)
            pump(0.7 if tries == 1 else 0.2)
            if self.last == label:
                return
        fail(f"{key} took the focus to {self.last}, not to {label}")


def check_field(field, expected):  # (text, selection, caret)
    text = field.queryText()
    got = (text_of(field), text.getSelection(0)[:2] if text.getNSelections() else None, text.caretOffset)
    if got[:len(expected)] != expected:
        fail(f"{field.name} reads (text, selection, caret) {got}, not {expected}")


def check_pane(controls, toolkit):
    popups, fields = ([row for row in ROWS if bool(row["items"]) == is_popup] for is_popup in (True, False))
    for row in popups:
        if (items := open_items(controls[row["label"]])) != row["items"]:
            fail(f"{row['label']} reads the items {items}")
    for row in fields:
        if enabled(controls[row["label"]]):
            fail(f"{row['label']} reads as enabled before it is chosen")
    print(f"ok: {len(ROWS)} controls found by their labels and roles, the popups' items read, the fields disabled")

    follower = FocusFollower(controls)
    follower.after("Tab", ROWS[0]["label"], tries=30)  # wherever the dialog's focus was
    choose(ROWS[0], "Private (DIN)", toolkit)
    din = controls["DIN:"]
    until(lambda: enabled(din), "the DIN enabled once Private (DIN) is chosen")
    follower.after("Tab", "DIN:")
    check_field(din, ("00000", (0, 5)))
    subprocess.run(["xdotool", "type", "--delay", "60", "4821"], check=True)
    keys("Left")
    check_field(din, ("4821", None, 3))
    follower.after("Tab", "Department code:")
    choose(ROWS[2], "On", toolkit)
    until(lambda: enabled(controls["DC:"]), "the DC enabled once On is chosen")
    for row in ROWS[3:]:
        follower.after("Tab", row["label"])
    for row in reversed(ROWS[:-1]):
        follower.after("shift+Tab", row["label"])
    print("ok: choices by keys enable the fields; focus follows Tab and Shift+Tab; a field's text, selection "
          "and caret read as typed")


check_pane(controls_of(sys.argv[1]), sys.argv[2])
