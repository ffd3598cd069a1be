#!/usr/bin/env bash
# Times a whole headless import of one scene of 20,000 files in 200 sequences (10 folders of
# 20 sequences of 100 frames) as a user runs it:
#     cellkit-host --headless --command cellKit --import ROOT
# next to a plain `find` over the same tree and the host's start-up alone. Prints the best of
# RUNS runs of each; asserts nothing.
#
#   tests/bench/bench_import.sh [CELLKIT_HOST] [RUNS]     (default build/testhost/cellkit-host, 5)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
host="${1:-$root/build/testhost/cellkit-host}"
runs="${2:-5}"
[ -x "$host" ] || { echo "no cellkit-host at $host (build it first)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
scene="$work/root/SC01"
for f in $(seq 0 9); do
    mkdir -p "$scene/F0$f"
    for s in $(seq -w 0 19); do
        (cd "$scene/F0$f" && touch $(printf "S${f}_${s}_%04d.png " $(seq 1 100)))
    done
done
mkdir -p "$work/config"

# Wall time of one run of the command, in milliseconds.
run_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

# The three are run in turn, so that a change of load on a shared machine weighs on all of them.
files=$(find "$work/root" -type f | wc -l)
find_ms="" start_ms="" import_ms=""
for _ in $(seq 1 "$runs"); do
    f=$(run_ms find "$work/root")
    s=$(run_ms "$host" --headless --config-dir "$work/config" --command cellKit)
    i=$(run_ms "$host" --headless --config-dir "$work/config" --command cellKit \
        --import "$work/root")
    if [ -z "$find_ms" ] || [ "$f" -lt "$find_ms" ]; then find_ms=$f; fi
    if [ -z "$start_ms" ] || [ "$s" -lt "$start_ms" ]; then start_ms=$s; fi
    if [ -z "$import_ms" ] || [ "$i" -lt "$import_ms" ]; then import_ms=$i; fi
done

echo "scene: $files files in 200 sequences, best of $runs runs"
printf '%-38s %6d ms\n' "find over the tree" "$find_ms"
printf '%-38s %6d ms\n' "cellkit-host start-up (panel open)" "$start_ms"
printf '%-38s %6d ms\n' "cellkit-host whole headless import" "$import_ms"
printf '%-38s %6d ms  (target: 5 x find = %d ms)\n' "import beyond start-up" \
    "$((import_ms - start_ms))" "$((5 * find_ms))"
