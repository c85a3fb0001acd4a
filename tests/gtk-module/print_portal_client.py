"""A sandboxed application's print through the print portal: PreparePrint
shows the portal's dialog, then Print sends a PDF's descriptor with the
token of its answer; PRINTS times, each after the first starting from the
settings and page setup the one before handed back, as applications keep
them. For each print the client starts the portal's frontend and its
BACKEND (gnome, gtk) itself, so that they print to its stdout and stderr
and end with it.
    print_portal_client.py BACKEND QUEUE PDF PRINTS [SAVED-SETTING=VALUE...]
Says "reply DIN" and the DIN of each PreparePrint's answer (- for a digit it
lacks), and "printed" once each job is on QUEUE."""
import os
import subprocess
import sys

from gi.repository import Gio, GLib

PORTAL, PORTAL_PATH = "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop"
backend, queue, pdf, prints = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
saved_settings = dict(setting.split("=", 1) for setting in sys.argv[5:])
DIN_KEYS = [f"cups-DINDigit{digit}" for digit in range(1, 6)]
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def until(done, what):
    for _ in range(100):  # 10 s
        if done():
            return
        GLib.usleep(100_000)
    sys.exit(f"FAIL: never {what}")


def owned(name):
    return bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                         GLib.Variant("(s)", (name,)), None, Gio.DBusCallFlags.NONE, -1, None).unpack()[0]


def jobs_on_queue():
    return subprocess.run(["lpstat", "-W", "all", "-o", queue], capture_output=True, text=True).stdout.count("\n")


def ask(method, signature, *arguments, fds=None):
    """Calls the Print portal's METHOD with ARGUMENTS after the parent window
    and the title; returns the results of its Request's Response."""
    # The Request's path follows from the handle token: listen before asking.
    request = f"{PORTAL_PATH}/request/{bus.get_unique_name()[1:].replace('.', '_')}/{method}"
    answers, loop = [], GLib.MainLoop()
    subscription = bus.signal_subscribe(PORTAL, "org.freedesktop.portal.Request", "Response", request, None,
                                        Gio.DBusSignalFlags.NONE,
                                        lambda *signal: (answers.append(signal[5].unpack()), loop.quit()))
    options = arguments[-1] | {"handle_token": GLib.Variant("s", method)}
    bus.call_with_unix_fd_list_sync(PORTAL, PORTAL_PATH, "org.freedesktop.portal.Print", method,
                                    GLib.Variant(signature, ("", "Print", *arguments[:-1], options)),
                                    None, Gio.DBusCallFlags.NONE, -1, fds, None)
    loop.run()
    bus.signal_unsubscribe(subscription)
    status, results = answers[0]
    if status != 0:
        sys.exit(f"FAIL: {method} answered {status}")
    return results


def as_vardict(values):
    """What GTK's print settings and page setup hold: strings and sizes."""
    return {key: GLib.Variant("d" if isinstance(value, float) else "s", value) for key, value in values.items()}


def print_once(settings, page_setup):
    """PreparePrint, then Print with its token; returns the answer's results."""
    prepared = ask("PreparePrint", "(ssa{sv}a{sv}a{sv})", as_vardict(settings), as_vardict(page_setup), {})
    print("reply DIN", "".join(prepared["settings"].get(key, "-") for key in DIN_KEYS), flush=True)
    jobs_before = jobs_on_queue()
    with open(pdf, "rb") as document:
        ask("Print", "(ssha{sv})", 0, {"token": GLib.Variant("u", prepared["token"])},
            fds=Gio.UnixFDList.new_from_array([os.dup(document.fileno())]))
    until(lambda: jobs_on_queue() > jobs_before, f"saw the job on {queue}")
    print("printed", flush=True)
    return prepared


# Portals of their own for each print: both backends close descriptor 0 as
# they answer PreparePrint (the unset descriptor of its handle), which from
# their second answer on may be the document of the Print that follows.
settings, page_setup = saved_settings, {}
for _ in range(prints):
    backend_name = f"org.freedesktop.impl.portal.desktop.{backend}"
    portals = [subprocess.Popen([f"/usr/libexec/xdg-desktop-portal-{backend}"])]
    try:
        until(lambda: owned(backend_name), "saw the portal's backend")
        portals.append(subprocess.Popen(["/usr/libexec/xdg-desktop-portal"]))
        until(lambda: owned(PORTAL), "saw the portal")
        prepared = print_once(settings, page_setup)
        settings, page_setup = prepared["settings"], prepared["page-setup"]
    finally:
        for portal in reversed(portals):
            portal.terminate()
            portal.wait(10)
    until(lambda: not owned(backend_name) and not owned(PORTAL), "saw the portals go")
