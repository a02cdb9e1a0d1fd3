#!/bin/sh
# Regenerates the chart's coast layers from the GSHHG shoreline database through GMT, and
# checks each layer against GMT's own land/sea answer on random points.
#
# Needs: gmt and the high-resolution GSHHG data (Debian packages gmt, gmt-gshhg-high), and a
# built tarnwake-lyr. Run from the top of the source tree:
#     cmake --build build --target tarnwake-lyr && tools/lyr/make-coastlines.sh
#
# Writes data/Scenarios/<Area>.lyr and, for the tests, tests/fixtures/map/<Area>-gmt-points.txt
# ("longitude latitude expected" lines, expected 1 for land).
set -eu

LYR=${LYR:-build/tools/lyr/tarnwake-lyr}
OUT=${OUT:-data/Scenarios}
FIXTURES=${FIXTURES:-tests/fixtures/map}
CHECK_POINTS=${CHECK_POINTS:-5000}
FIXTURE_POINTS=${FIXTURE_POINTS:-500}
SEED=${SEED:-1914}
MIN_ISLAND_KM2=${MIN_ISLAND_KM2:-0.05}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$OUT" "$FIXTURES"

# area NAME WEST/EAST/SOUTH/NORTH
area() {
    name=$1
    box=$2
    # Level-1 shorelines (sea against land; lakes count as land), land on the left of each
    # piece, cut at GSHHG's tiles and at the box.
    gmt coast -R"$box" -Dh -W1/0.25p -M --GMT_HISTORY=false > "$work/$name.dump"
    "$LYR" build --box "$box" --min-island "$MIN_ISLAND_KM2" --input "$work/$name.dump" \
        --output "$OUT/$name.lyr"

    # GMT's answer for random points: "gmt select -Ns/k/k/k/k" keeps the points that are not
    # in the sea; the third column carries each point's number through.
    "$LYR" points --box "$box" --count "$CHECK_POINTS" --seed "$SEED" > "$work/points"
    awk '{ print $1, $2, NR - 1 }' "$work/points" |
        gmt select -R"$box" -Dh -Ns/k/k/k/k -o2 --GMT_HISTORY=false > "$work/land"
    awk 'NR == FNR { land[$1] = 1; next } { print $1, $2, ((FNR - 1) in land) ? 1 : 0 }' \
        "$work/land" "$work/points" > "$work/expected"
    "$LYR" check "$OUT/$name.lyr" < "$work/expected"
    head -n "$FIXTURE_POINTS" "$work/expected" > "$FIXTURES/$name-gmt-points.txt"
}

area NorthSea -4/13/50/62
area Falklands -64/-56/-54/-50
area Coronel -76/-71/-39/-35
area Adriatic 12/21/39/46
