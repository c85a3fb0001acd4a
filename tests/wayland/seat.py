"""The person at a headless sway: keys and clicks through wayvnc's own
keyboard and pointer (an RFB client on wayvnc's Unix socket), windows from
sway's tree. wayvnc's keyboard keeps one full keymap; wtype would make a
keyboard with a keymap of its own keys for each call, and GTK 3 matches its
key bindings (Tab, Ctrl+Page_Down, the arrows) against the keymap it saw
first, so it misreads them after the first call. One connection serves the
whole test: newer wayvnc (Debian 13) gives each connection a keyboard and a
pointer of their own, which go when it closes, and a popup opened by a
pointer that is gone closes again.
    seat.py SOCKET                one command a line on stdin, "done" a line on stdout:
        key KEY...                X keysym names or characters, with ctrl+, alt+, shift+
        click X Y                 in the output's pixels
    seat.py - window PATTERN|ID   "ID X Y" of the shown window whose title matches
                                  (or whose ID it is): its content's top left corner"""
import ctypes
import json
import re
import socket
import struct
import subprocess
import sys
import time

MODIFIERS = {"ctrl": "Control_L", "alt": "Alt_L", "shift": "Shift_L"}
# wayvnc types a key symbol at the level it sits on, dropping a Shift held
# for it: Shift+Tab is its own symbol.
SHIFTED = {"Tab": "ISO_Left_Tab"}


def keysym(name):
    xkb = ctypes.CDLL("libxkbcommon.so.0")
    xkb.xkb_keysym_from_name.restype = ctypes.c_uint32
    return xkb.xkb_keysym_from_name(name.encode(), 0) or sys.exit(f"seat.py: no key {name}")


def connect(path):
    vnc = socket.socket(socket.AF_UNIX)
    vnc.connect(path)

    def read(size):
        data = b""
        while len(data) < size:
            data += vnc.recv(size - len(data)) or sys.exit("seat.py: wayvnc closed the connection")
        return data
    read(12)
    vnc.sendall(b"RFB 003.008\n")
    if 1 not in read(read(1)[0]):  # no password: the socket is for its user alone
        sys.exit("seat.py: wayvnc asks for a password")
    vnc.sendall(b"\x01")
    if read(4) != bytes(4):
        sys.exit("seat.py: wayvnc refused the connection")
    vnc.sendall(b"\x01")  # shared
    read(20)
    read(struct.unpack(">I", read(4))[0])  # the desktop's name
    return vnc


def window(wanted):
    def views(node):
        yield node
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            yield from views(child)
    tree = json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], check=True, capture_output=True).stdout)
    for view in views(tree):
        if view.get("pid") and view.get("visible") and (
                str(view["id"]) == wanted if wanted.isdigit() else re.search(wanted, view.get("name") or "")):
            rect, inner = view["rect"], view["window_rect"]
            return print(view["id"], rect["x"] + inner["x"], rect["y"] + inner["y"])
    sys.exit(1)


def press(vnc, combination):
    *held, last = combination.split("+")
    symbols = [keysym(MODIFIERS.get(name, name)) for name in held]
    symbols.append(keysym(SHIFTED.get(last, last) if "shift" in held else last))
    for symbol, down in [(symbol, 1) for symbol in symbols] + [(symbol, 0) for symbol in reversed(symbols)]:
        vnc.sendall(struct.pack(">BBxxI", 4, down, symbol))
    time.sleep(0.15)


def click(vnc, x, y):
    for buttons in (0, 1, 0):
        vnc.sendall(struct.pack(">BBHH", 5, buttons, int(x), int(y)))
        time.sleep(0.05)


def serve(path):
    vnc = connect(path)
    # Sway takes the first key of a new keyboard as its arrival: a Shift alone goes first.
    press(vnc, "Shift_L")
    for line in sys.stdin:
        action, *arguments = line.split()
        if action == "key":
            for combination in arguments:
                press(vnc, combination)
        elif action == "click":
            click(vnc, *arguments)
        time.sleep(0.1)  # wayvnc has read it before the test goes on
        print("done", flush=True)


if len(sys.argv) == 2:
    serve(sys.argv[1])
elif len(sys.argv) == 4 and sys.argv[2] == "window":
    window(sys.argv[3])
else:
    sys.exit(__doc__)
