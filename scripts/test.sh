#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; tests that need X run on a
# private Xvfb server.
#   scripts/test.sh              the plain build, in build/ (or $BUILD_DIR)
#   scripts/test.sh --sanitize   everything built with the address and undefined-behaviour
#                                sanitizers, in build-sanitize/ (or $BUILD_DIR); a report fails
#                                the test it comes from
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
case "${1:-}" in
    "") sanitize=OFF; folder=build ;;
    --sanitize) sanitize=ON; folder=build-sanitize ;;
    *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac
"$root/scripts/deps.sh" --tests
export BUILD_DIR="${BUILD_DIR:-$root/$folder}"
"$root/scripts/build.sh" -DBUILD_TESTING=ON -DQZ_SANITIZE=$sanitize
if [ "$sanitize" = ON ]; then
    # Leaks are not checked: Qt's platform plugins, libdbus and libXrandr keep memory to the end
    # of every program, which would fail every test that opens a window.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:detect_stack_use_after_return=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
fi
. "$root/scripts/xvfb.sh"
start_xvfb
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600 -j2
