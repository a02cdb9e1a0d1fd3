#!/usr/bin/env bash
# The what-if batch's speed and memory: Dogger Bank played 100 times with a job for each core;
# the same 20 games in one job and in two (the speed-up of the second job); and the memory the
# process holds at its peak with one job and with two (the growth of an extra job). Timings
# are wall-clock: run it on a machine nobody else is loading.
#   bench/batch.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/tarnwake-cli"
[ -x "$cli" ] || { echo "Build $cli first (make build)." >&2; exit 1; }
scenario="Scenarios/Dogger Bank.nsc"
user="$build/bench-user"

# Seconds and peak memory (kB) of one batch: "seconds kilobytes".
measure() {
    /usr/bin/time -f "%e %M" -o "$build/bench-batch.time" \
        "$cli" --game-dir data --user-dir "$user" --seed 1 batch "$scenario" "$@" \
        >/dev/null 2>&1
    cat "$build/bench-batch.time"
}

read -r whole whole_kb < <(measure --runs 100)
echo "100 runs, $(nproc) jobs: ${whole} s (target: 30 s or less)"
read -r one one_kb < <(measure --runs 20 --jobs 1)
read -r two two_kb < <(measure --runs 20 --jobs 2)
awk -v a="$one" -v b="$two" 'BEGIN { printf "20 runs: 1 job %.2f s, 2 jobs %.2f s, speed-up %.2fx (target: 1.8x or more)\n", a, b, a / b }'
awk -v a="$one_kb" -v b="$two_kb" 'BEGIN { printf "peak memory: 1 job %.1f MB, 2 jobs %.1f MB, %.1f MB for the extra job (target: 20 MB or less)\n", a / 1024, b / 1024, (b - a) / 1024 }'
