#pragma once

struct wl_display;

namespace WaylandWait {
// Sends what is queued and handles the compositor's answers until it has answered everything sent
// so far. False when the connection broke or no answer came within `timeoutMs`: a compositor that
// hangs must not hang the program's start.
bool Roundtrip(wl_display* display, int timeoutMs);
// Handles whatever the compositor has sent meanwhile, without waiting. False once the connection
// is broken.
bool DispatchPending(wl_display* display);
}
