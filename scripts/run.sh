#!/usr/bin/env bash
# Starts the game from the build folder: the desktop program when there is a display. Without
# one it plays the battle headless with tarnwake-cli (by default an hour of Dogger Bank, the
# computer commanding both sides) and then draws the desktop program's picture of it off
# screen, saying where the picture is.
set -euo pipefail
build_dir=${1:-build}
shift || true

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build_dir/tarnwake" "$@"
fi

# The runner's own commands pass straight to it; anything else is the desktop program's
# arguments ([scenario] [--side N] [--minutes N] ...), played headless.
case "${1:-}" in
info|check-data|run|replay|hit|--help|--version)
    exec "$build_dir/tarnwake-cli" "$@"
    ;;
esac

scenario="Scenarios/Dogger Bank.nsc"
side=2
minutes=60
rest=()
while [ $# -gt 0 ]; do
    case "$1" in
    --side) side=$2; shift 2 ;;
    --minutes) minutes=$2; shift 2 ;;
    --seed|--game-dir|--user-dir|--answers) rest+=("$1" "$2"); shift 2 ;;
    -*) rest+=("$1"); shift ;;
    *) scenario=$1; shift ;;
    esac
done
picture="$build_dir/tarnwake-headless.png"

echo "No display found: playing $minutes minutes of \"$scenario\" headless (tarnwake-cli)." >&2
"$build_dir/tarnwake-cli" run "$scenario" --side "$side" --minutes "$minutes" ${rest[@]+"${rest[@]}"}
"$build_dir/tarnwake" "$scenario" --side "$side" --minutes "$minutes" \
    --screenshot "$picture" --size 1600x1000 ${rest[@]+"${rest[@]}"} >/dev/null
echo "A picture of the battle after $minutes minutes is in $picture" >&2
