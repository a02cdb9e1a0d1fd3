#!/usr/bin/env bash
# Writes the regression digests of the shipped scenarios (tests/regression/*.digest) afresh:
# each scenario at two seeds, the computer commanding both sides, a digest of the whole game
# state every ten minutes of the first hour. Run it when a change of the rules or the data
# changes battles on purpose, and say why in the commit that carries the new files.
#   scripts/regenerate-digests.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/tarnwake-cli"
[ -x "$cli" ] || { echo "Build $cli first (make build)." >&2; exit 1; }
out=tests/regression
mkdir -p "$out"
rm -f "$out"/*.digest
minutes=60
every=10
for file in data/Scenarios/*.nsc; do
    name=$(basename "$file" .nsc)
    for seed in 1 2; do
        target="$out/$name seed $seed.digest"
        {
            echo "# The state digests of a shipped scenario, written by scripts/regenerate-digests.sh."
            echo "scenario: Scenarios/$name.nsc"
            echo "seed: $seed"
            echo "minutes: $minutes"
            "$cli" --game-dir data --user-dir "$build/regression-user" --seed "$seed" \
                run "Scenarios/$name.nsc" --side 2 --minutes "$minutes" \
                --digest-every "$every" 2>/dev/null |
                sed -n 's/^Digest at minute \([0-9]*\): \([0-9a-f]*\)$/\1 \2/p'
        } >"$target"
        echo "wrote $target"
    done
done
