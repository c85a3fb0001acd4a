"""A sandboxed application's print through the print portal: PreparePrint
shows the portal's dialog, then Print sends a PDF's descriptor with the
token of its answer. The client starts the portal's frontend and backend
itself, so that they print to its stdout and stderr and end with it.
    print_portal_client.py QUEUE PDF [SAVED-SETTING=VALUE...]
Says "printed" once the job is on QUEUE."""
import os
import subprocess
import sys

from gi.repository import Gio, GLib

PORTAL, PORTAL_PATH = "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop"
queue, pdf = sys.argv[1:3]
saved_settings = dict(setting.split("=", 1) for setting in sys.argv[3:])
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


portals = [subprocess.Popen(["/usr/libexec/xdg-desktop-portal-gnome"])]
try:
    until(lambda: owned("org.freedesktop.impl.portal.desktop.gnome"), "saw the portal's backend")
    portals.append(subprocess.Popen(["/usr/libexec/xdg-desktop-portal"]))
    until(lambda: owned(PORTAL), "saw the portal")
    settings = {key: GLib.Variant("s", value) for key, value in saved_settings.items()}
    prepared = ask("PreparePrint", "(ssa{sv}a{sv}a{sv})", settings, {}, {})
    jobs_before = jobs_on_queue()
    with open(pdf, "rb") as document:
        ask("Print", "(ssha{sv})", 0, {"token": GLib.Variant("u", prepared["token"])},
            fds=Gio.UnixFDList.new_from_array([os.dup(document.fileno())]))
    until(lambda: jobs_on_queue() > jobs_before, f"saw the job on {queue}")
    print("printed", flush=True)
finally:
    for portal in reversed(portals):
        portal.terminate()
        portal.wait(10)
