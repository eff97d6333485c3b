#!/usr/bin/env python3
"""Plays the window manager's part in a minimise on an X server that has none.

Iconifies the window as a window manager does (unmaps it and sets its WM_STATE to
IconicState), then waits for the program to withdraw the window: a client that hides a
window unmaps it and sends a synthetic UnmapNotify to the root window, which is how a
window manager learns to drop the window's task-bar entry.

usage: iconify.py WINDOW_ID [SECONDS]   (DISPLAY from the environment)
exit status: 0 withdrawn, 2 still iconified after SECONDS (default 10), 1 other failure
"""
import ctypes
import ctypes.util
import sys
import time

ICONIC_STATE = 3
PROP_MODE_REPLACE = 0
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
UNMAP_NOTIFY = 18


class XUnmapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("from_configure", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xunmap", XUnmapEvent), ("pad", ctypes.c_long * 24)]


def load_xlib():
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    xlib.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                     ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_void_p, ctypes.c_int]
    xlib.XUnmapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XPending.argtypes = [ctypes.c_void_p]
    xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return xlib


def main() -> int:
    window = int(sys.argv[1], 0)
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    xlib = load_xlib()
    display = xlib.XOpenDisplay(None)
    if not display:
        print("iconify.py: cannot open the display", file=sys.stderr)
        return 1
    root = xlib.XDefaultRootWindow(display)
    xlib.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)

    wm_state = xlib.XInternAtom(display, b"WM_STATE", 0)
    data = (ctypes.c_long * 2)(ICONIC_STATE, 0)  # format 32 data travels as C longs
    xlib.XUnmapWindow(display, window)
    xlib.XChangeProperty(display, window, wm_state, wm_state, 32, PROP_MODE_REPLACE,
                         ctypes.cast(data, ctypes.c_void_p), 2)
    xlib.XSync(display, 0)

    deadline = time.monotonic() + seconds
    event = XEvent()
    while time.monotonic() < deadline:
        while xlib.XPending(display):
            xlib.XNextEvent(display, ctypes.byref(event))
            unmap = event.xunmap
            if event.type == UNMAP_NOTIFY and unmap.send_event and unmap.window == window:
                print("withdrawn")
                xlib.XCloseDisplay(display)
                return 0
        time.sleep(0.02)
    print("still iconified", file=sys.stderr)
    xlib.XCloseDisplay(display)
    return 2


if __name__ == "__main__":
    sys.exit(main())
