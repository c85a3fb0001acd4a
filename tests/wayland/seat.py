"""The person at a headless sway: keys and clicks through wayvnc's own
keyboard and pointer (an RFB client on wayvnc's Unix socket), windows from
sway's tree. wayvnc's keyboard keeps one full keymap; wtype would make a
keyboard with a keymap of its own keys for each call, and GTK 3 matches its
key bindings (Tab, Ctrl+Page_Down, the arrows) against the keymap it saw
first, so it misreads them after the first call.
    seat.py SOCKET key KEY...     X keysym names, with ctrl+, alt+, shift+
    seat.py SOCKET type TEXT
    seat.py SOCKET click X Y      in the output's pixels
    seat.py - window PATTERN      "ID X Y" of the shown window whose title
                                  matches, its content's top left corner
    seat.py - window ID           the same of the window whose ID it is"""
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
    found = xkb.xkb_keysym_from_name(name.encode(), 0)
    if found == 0:
        sys.exit(f"seat.py: no key {name}")
    return found


class Vnc:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.connect(path)
        self.read(12)
        self.sock.sendall(b"RFB 003.008\n")
        if 1 not in self.read(self.read(1)[0]):  # security: none, on a socket only its user reaches
            sys.exit("seat.py: wayvnc asks for a password")
        self.sock.sendall(b"\x01")
        if self.read(4) != bytes(4):
            sys.exit("seat.py: wayvnc refused the connection")
        self.sock.sendall(b"\x01")  # shared
        self.read(20)
        self.read(struct.unpack(">I", self.read(4))[0])  # the desktop's name

    def read(self, size):
        data = b""
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                sys.exit("seat.py: wayvnc closed the connection")
            data += chunk
        return data

    def key(self, symbol, down):
        self.sock.sendall(struct.pack(">BBxxI", 4, down, symbol))

    def pointer(self, buttons, x, y):
        self.sock.sendall(struct.pack(">BBHH", 5, buttons, x, y))
        time.sleep(0.05)


def window(wanted):
    def views(node):
        yield node
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            yield from views(child)
    tree = json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], check=True, capture_output=True).stdout)
    for view in views(tree):
        if not view.get("pid") or not view.get("visible"):
            continue
        if str(view["id"]) == wanted if wanted.isdigit() else re.search(wanted, view.get("name") or ""):
            rect, inner = view["rect"], view["window_rect"]
            print(view["id"], rect["x"] + inner["x"], rect["y"] + inner["y"])
            return
    sys.exit(1)


def main(path, action, *arguments):
    if action == "window":
        return window(*arguments)
    vnc = Vnc(path)
    if action == "key":
        for combination in arguments:
            *held, last = combination.split("+")
            if "shift" in held and last in SHIFTED:
                last = SHIFTED[last]
            symbols = [keysym(MODIFIERS.get(name, name)) for name in held + [last]]
            for symbol in symbols:
                vnc.key(symbol, 1)
            for symbol in reversed(symbols):
                vnc.key(symbol, 0)
            time.sleep(0.15)
    elif action == "type":
        for character in arguments[0]:
            code = ord(character)
            symbol = code if code < 0x100 else 0x1000000 | code
            vnc.key(symbol, 1)
            vnc.key(symbol, 0)
            time.sleep(0.06)
    elif action == "click":
        x, y = map(int, arguments)
        for buttons in (0, 1, 0):
            vnc.pointer(buttons, x, y)
    else:
        sys.exit(__doc__)
    time.sleep(0.1)  # wayvnc reads what was sent before it sees the socket close


if __name__ == "__main__":
    main(*sys.argv[1:]) if len(sys.argv) > 2 else sys.exit(__doc__)
