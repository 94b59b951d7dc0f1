#!/usr/bin/env bash
# Sourced by the other scripts: start_xvfb starts a private X server on a free display number,
# with a compositor so that translucent windows look as they do on a desktop, and exports
# DISPLAY; the server ends with the calling script.
start_xvfb() {
    local display
    for display in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        # -noreset keeps the server's state (such as gamma ramps) when the last client leaves.
        Xvfb ":$display" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$display" ] && break
            sleep 0.1
        done
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$display"
            trap 'kill $XVFB_PID ${COMPMGR_PID:-} 2>/dev/null || true' EXIT
            if command -v xcompmgr >/dev/null; then
                xcompmgr >/dev/null 2>&1 &
                COMPMGR_PID=$!
            fi
            return 0
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}
