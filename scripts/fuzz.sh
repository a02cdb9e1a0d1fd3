#!/usr/bin/env bash
# Runs every fuzz target of the file readers for a set time, each seeded with the shipped
# files of its kind, and prints libFuzzer's figures for each.
#   scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]
# Exit codes: 0 every target ran its time without a finding; 1 a target found a crash, a leak
# or a time-out (its reproducer is in BUILD_DIR/fuzz-findings/<target>/); 2 the build folder
# holds no fuzz targets or a seed folder could not be made.
set -u
build=${1:?usage: scripts/fuzz.sh BUILD_DIR [SECONDS] [TARGET...]}
seconds=${2:-300}
shift $(( $# >= 2 ? 2 : 1 ))
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/data
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(SectionReader Profile Design NationsTable WeaponTables Layer EnvironmentFile
             Scenario PositionText)
fi

seed() { # target -> fills $build/fuzz-corpus/<target> with the shipped files of its kind
    local dir=$build/fuzz-corpus/$1
    mkdir -p "$dir" || return 1
    case $1 in
        SectionReader|Scenario)
            cp "$data"/Scenarios/*.nsc "$root"/tests/fixtures/scenario/*.nsc "$dir"/
            [ -d "$root/tests/fixtures/bad" ] && cp "$root"/tests/fixtures/bad/*.nsc "$dir"/ 2>/dev/null
            ;;
        Profile|Design)
            cp "$data"/Designs/*.sdf "$dir"/
            [ -d "$root/tests/fixtures/bad" ] && cp "$root"/tests/fixtures/bad/*.sdf "$dir"/ 2>/dev/null
            ;;
        NationsTable) cp "$data"/Data/Nations.dat "$dir"/ ;;
        WeaponTables)
            local k=0
            local table
            for table in VPen HPen Gundata Torpedodata; do
                { printf "\\x$(printf %02x $k)"; cat "$data/Data/$table.dat"; } > "$dir/$table.seed"
                k=$((k + 1))
            done
            ;;
        Layer) cp "$data"/Scenarios/*.lyr "$dir"/ ;;
        EnvironmentFile) cp "$data"/Scenarios/*.env "$dir"/ ;;
        PositionText)
            grep -ho '[0-9]*[EW] [0-9]*[NS]' "$data"/Scenarios/*.nsc | sort -u | head -200 |
                awk -v d="$dir" '{ f = d "/p" NR; printf "%s", $0 > f; close(f) }'
            ;;
    esac
}

status=0
printf '%-16s %12s %10s %8s %s\n' target execs exec/s cov result
for t in "${targets[@]}"; do
    exe=$build/tests/fuzz/fuzz_$t
    if [ ! -x "$exe" ]; then
        echo "fuzz.sh: no fuzz target $exe (configure with -DTARNWAKE_FUZZ=ON)" >&2
        exit 2
    fi
    seed "$t" || exit 2
    findings=$build/fuzz-findings/$t
    mkdir -p "$findings"
    log=$build/fuzz-$t.log
    # The layer files reach 260 kB; longer inputs only slow the search.
    "$exe" -max_total_time="$seconds" -print_final_stats=1 -max_len=300000 -timeout=20 \
        -rss_limit_mb=2048 -artifact_prefix="$findings/" "$build/fuzz-corpus/$t" >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    if [ $rc -eq 0 ]; then
        result=ok
    else
        result="FOUND (exit $rc; see $log)"
        status=1
    fi
    printf '%-16s %12s %10s %8s %s\n' "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" "$result"
done
exit $status
