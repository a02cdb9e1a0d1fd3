#!/usr/bin/env bash
# Writes docs/validation.md afresh: each shipped battle played 100 times at its historical
# force level (seeds 1-100, the computer commanding both sides, each game to its end), and the
# spread of its losses and heavy gunnery set beside history (data/Scenarios/*.history). The
# batch files and reports are kept in <build folder>/validation.
#   scripts/validation.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/tarnwake-cli"
[ -x "$cli" ] || { echo "Build $cli first (make build)." >&2; exit 1; }
out="$build/validation"
mkdir -p "$out"
runs=100
files=()
for name in "Coronel" "Falkland Islands" "Dogger Bank" "Heligoland Bight" "Jutland" \
    "Strait of Otranto"; do
    echo "$name: $runs runs" >&2
    "$cli" --game-dir data --user-dir "$build/validation-user" --seed 1 \
        batch "Scenarios/$name.nsc" --runs "$runs" --level historical \
        --json "$out/$name.json" --report "$out/$name.html" >/dev/null
    files+=("$out/$name.json")
done
cmake "-DBATCHES=$(IFS=';'; echo "${files[*]}")" -DTEMPLATE=docs/validation.md \
    -P scripts/ValidationTable.cmake
echo "docs/validation.md written; the reports are in $out" >&2
