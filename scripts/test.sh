#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; tests that need X run on a
# private Xvfb server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" --tests
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" -DBUILD_TESTING=ON
. "$root/scripts/xvfb.sh"
start_xvfb
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 -j2
