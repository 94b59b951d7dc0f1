"""Walks what assistive technology sees of one process through the AT-SPI registry.

Usage: atspi_walk.py PID. Each line read from stdin names the state the program shows; the
reply is one line per focusable or clickable object in its shown windows that has no name,
then "done". Nothing is answered before the program has joined the registry.
"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# The interface getters Debian 12's bindings mark as deprecated are the ones they offer.
warnings.simplefilter("ignore", DeprecationWarning)

# Actions that only move the focus or open a context menu: having one does not make an object
# something a user presses.
NOT_PRESSING = {"setfocus", "showmenu", "show menu"}
JOIN_SECONDS = 60


def program(pid):
    deadline = time.monotonic() + JOIN_SECONDS
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(index)
            if app is not None and app.get_process_id() == pid:
                # The program renames controls as it changes pages: every answer is read afresh.
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        time.sleep(0.1)
    return None


def presses(accessible):
    action = accessible.get_action_iface()
    if action is None:
        return False
    return any(action.get_action_name(i).lower() not in NOT_PRESSING for i in range(action.get_n_actions()))


def path_of(accessible, window):
    names = []
    node = accessible
    while node is not None and node != window:
        names.append(node.get_role_name())
        node = node.get_parent()
    return "/".join(reversed(names))


def walk(node, window, problems, depth=0):
    if depth > 40:
        return
    states = node.get_state_set()
    if not states.contains(Atspi.StateType.SHOWING):
        return
    if states.contains(Atspi.StateType.FOCUSABLE) or presses(node):
        if not (node.get_name() or "").strip():
            extents = node.get_extents(Atspi.CoordType.WINDOW)
            problems.append("%s: %s at %d,%d %dx%d (%s)" % (
                window.get_name() or "unnamed window", node.get_role_name(), extents.x, extents.y,
                extents.width, extents.height, path_of(node, window)))
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            walk(child, window, problems, depth + 1)


def main():
    app = program(int(sys.argv[1]))
    for line in sys.stdin:
        state = line.strip()
        if app is None:
            print("%s: the program never joined the accessibility registry" % state, flush=True)
        else:
            problems = []
            for index in range(app.get_child_count()):
                window = app.get_child_at_index(index)
                if window is not None:
                    walk(window, window, problems)
            for problem in problems:
                print("%s: %s" % (state, problem))
        print("done", flush=True)


if __name__ == "__main__":
    main()
