#!/usr/bin/env bash
# Configures and builds into build/ (shared by scripts/run and scripts/test).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVANE_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${QUORVANE_BUILD_TYPE:-RelWithDebInfo}" \
    -DQUORVANE_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
