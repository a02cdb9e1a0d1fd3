#!/usr/bin/env bash
# Starts the game from the build folder: the desktop program when there is a display,
# the headless runner otherwise (by default watching an hour of Dogger Bank, the computer
# commanding both sides).
set -euo pipefail
build_dir=${1:-build}
shift || true

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build_dir/tarnwake" "$@"
fi
echo "No display found: running the headless game (tarnwake-cli) instead." >&2
if [ $# -eq 0 ]; then
    set -- run "Scenarios/Dogger Bank.nsc" --side 2 --minutes 60
fi
exec "$build_dir/tarnwake-cli" "$@"
