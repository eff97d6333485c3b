#!/usr/bin/env python3
"""Plays the window manager's part on an X server that has none.

  wm_state.py iconify WINDOW_ID [SECONDS]
      Minimises the window as a window manager does (unmaps it and sets its WM_STATE to
      IconicState), then waits for the program to withdraw the window: a client that hides
      a window unmaps it and sends a synthetic UnmapNotify to the root window, which is how
      a window manager learns to drop the window's task-bar entry.
      Exit status 0 withdrawn, 2 still iconified after SECONDS (default 10).
  wm_state.py normal WINDOW_ID
      Records that the window is shown again (WM_STATE NormalState), as a window manager
      does when the program maps it.

DISPLAY comes from the environment; exit status 1 for any other failure.
"""
import ctypes
import ctypes.util
import sys
import time

NORMAL_STATE = 1
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


def set_wm_state(xlib, display, window, state):
    wm_state = xlib.XInternAtom(display, b"WM_STATE", 0)
    data = (ctypes.c_long * 2)(state, 0)  # format 32 data travels as C longs
    xlib.XChangeProperty(display, window, wm_state, wm_state, 32, PROP_MODE_REPLACE,
                         ctypes.cast(data, ctypes.c_void_p), 2)


def main() -> int:
    command = sys.argv[1]
    window = int(sys.argv[2], 0)
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    xlib = load_xlib()
    display = xlib.XOpenDisplay(None)
    if not display:
        print("wm_state.py: cannot open the display", file=sys.stderr)
        return 1
    if command == "normal":
        set_wm_state(xlib, display, window, NORMAL_STATE)
        xlib.XSync(display, 0)
        xlib.XCloseDisplay(display)
        return 0
    if command != "iconify":
        print(f"wm_state.py: unknown command {command}", file=sys.stderr)
        return 1

    root = xlib.XDefaultRootWindow(display)
    xlib.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)
    xlib.XUnmapWindow(display, window)
    set_wm_state(xlib, display, window, ICONIC_STATE)
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
