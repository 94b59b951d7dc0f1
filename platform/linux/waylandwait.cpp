#include "waylandwait.h"

#include <poll.h>

#include <QDeadlineTimer>

#include <wayland-client.h>

namespace {
void Answered(void* data, wl_callback* callback, uint32_t)
{
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener = {Answered};

// Reads what has arrived within `timeoutMs` into the queue, or handles what was queued already;
// false on a broken connection or when nothing came.
bool ReadEvents(wl_display* display, int timeoutMs)
{
    if (wl_display_prepare_read(display) != 0)
        return wl_display_dispatch_pending(display) >= 0;
    wl_display_flush(display);
    pollfd watched {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&watched, 1, timeoutMs) <= 0) {
        wl_display_cancel_read(display);
        return false;
    }
    return wl_display_read_events(display) >= 0;
}
}

namespace WaylandWait {
bool Roundtrip(wl_display* display, int timeoutMs)
{
    bool answered = false;
    wl_callback* callback = wl_display_sync(display);
    if (!callback)
        return false;
    wl_callback_add_listener(callback, &kSyncListener, &answered);
    const QDeadlineTimer deadline(timeoutMs);
    while (!answered) {
        if (wl_display_dispatch_pending(display) < 0)
            break;
        if (answered || !ReadEvents(display, int(deadline.remainingTime())))
            break;
    }
    if (!answered) {
        // The answer may still come; it must not find a listener that is gone.
        wl_callback_destroy(callback);
        return false;
    }
    return wl_display_get_error(display) == 0;
}

bool DispatchPending(wl_display* display)
{
    pollfd watched {wl_display_get_fd(display), POLLIN, 0};
    while (poll(&watched, 1, 0) > 0) {
        if (!ReadEvents(display, 0))
            return false;
    }
    return wl_display_dispatch_pending(display) >= 0 && wl_display_flush(display) >= 0;
}
}
