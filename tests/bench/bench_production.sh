#!/usr/bin/env bash
# Times cellkit-host on a production of full size, as a pipeline TD runs it, next to a plain
# tool doing the bare file work of each job (the floor), and prints CPU time, wall time and
# peak memory of each. Asserts nothing about time; it does check that the results stay the
# same where a speed-up must not change them, and says so.
#
# The production (written once into DIR, or into a temporary folder removed at the end):
#   library/{bg,chars,props}/NNNN/   200,000 empty .png files in 2,000 folders of 100
#   scene-list.csv                   300 scenes x 30 assets (a background, 15 characters and
#                                    14 props, one name per line of a cell), 5% of the names
#                                    in no library folder
#   matching-table.txt               the table that reads it (for --table)
#   scenes/SCnnnn/                   300 scenes of a still BG.png and two folders A, B of five
#                                    sequences of 100 frames each (300,300 files)
#   expected-tree.txt                scene, asset and path (or MISSING) of every element
#
# Jobs:
#   import N     batch import (new project per scene, descriptors, folders precomposed) of all
#                scenes, and of the first tenth: their peak memories are compared, and the
#                projects the tenth saved must equal those the whole batch saved for them
#   library      an import of ten scenes with "Use Library Files" on, next to the same off,
#                with no table row and with one that looks in the library for each scene;
#                the library holds nothing the scenes use, so the projects must be equal
#   load         Load Scene List and --tree-text, next to `find LIB | wc -l`; the tree must
#                list what the generator put in the list
#   create       the same, then Create AE of 50 scenes, next to `cp` of their found files
#
# Every run keeps its results (the tree, the saved projects' checksums, the created projects
# as --print-projects prints them) in DIR/run/results; -n NAME saves them as DIR/results/NAME,
# and -b NAME compares this run's with them: a build before a speed-up against one after.
#
#   tests/bench/bench_production.sh [-s SCALE] [-H CELLKIT_HOST] [-n NAME] [-b NAME] [DIR]
#     -s SCALE  divide every size by SCALE for a quick run (e.g. -s 10: 30 scenes, 20,000
#               library files); DIR is written again when its size differs
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
host="$root/build/testhost/cellkit-host"
scale=1
save_as=""
base=""
while getopts "s:H:n:b:" opt; do
    case "$opt" in
    s) scale="$OPTARG" ;;
    H) host="$OPTARG" ;;
    n) save_as="$OPTARG" ;;
    b) base="$OPTARG" ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed '$d' >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ -x "$host" ] || { echo "no cellkit-host at $host (run scripts/build first)" >&2; exit 1; }
[[ "$scale" =~ ^[1-9][0-9]*$ ]] || { echo "SCALE must be a positive number" >&2; exit 2; }

if [ $# -gt 0 ]; then
    prod="$(mkdir -p "$1" && cd "$1" && pwd)"
else
    prod="$(mktemp -d)"
    trap 'rm -rf "$prod"' EXIT
fi
work="$prod/run"
rm -rf "$work"
mkdir -p "$work/config"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

scenes=$((300 / scale))
folders=$((2000 / scale))
[ "$scenes" -ge 10 ] && [ "$folders" -ge 3 ] || { echo "SCALE too large" >&2; exit 2; }
per_type=$((folders / 3))

# ---------------------------------------------------------------------------------------------
# The production. Names are unique across the library: <type>_<folder>_<n>.png.
generate() {
    echo "writing the production into $prod ($scenes scenes, $((per_type * 300)) library files)"
    rm -rf "$prod/library" "$prod/scenes"
    local type f n s
    for type in bg chars props; do
        for f in $(seq -w 0 $((per_type - 1))); do
            mkdir -p "$prod/library/$type/$f"
            for n in $(seq -w 0 99); do printf '%s\0' "$prod/library/$type/$f/${type}_${f}_$n.png"; done
        done
    done | xargs -0 touch
    for s in $(seq -f '%04g' 1 "$scenes"); do
        mkdir -p "$prod/scenes/SC$s/A" "$prod/scenes/SC$s/B"
        printf '%s\0' "$prod/scenes/SC$s/BG.png"
        for f in A B; do
            for n in 1 2 3 4 5; do
                for frame in $(seq -f '%04g' 1 100); do
                    printf '%s\0' "$prod/scenes/SC$s/$f/$f${n}_$frame.png"
                done
            done
        done
    done | xargs -0 touch

    # One name of a type, or (one time in 20) a name no library folder holds.
    RANDOM=2024
    local -a names
    pick() {
        if [ $((RANDOM % 20)) -eq 0 ]; then
            names+=("${1}_missing_$RANDOM")
        else
            local folder number
            folder=$(printf '%0*d' "${#per_type}" $((RANDOM % per_type)))
            number=$(printf '%02d' $((RANDOM % 100)))
            names+=("${1}_${folder}_${number}")
        fi
    }
    {
        echo "Production benchmark;;;"
        echo "Scene;Background;Characters;Props"
        for s in $(seq -f '%04g' 1 "$scenes"); do
            names=()
            pick bg
            local k
            for k in $(seq 1 15); do pick chars; done
            for k in $(seq 1 14); do pick props; done
            local IFS=$'\n'
            printf 'SC%s;%s;"%s";"%s"\n' "$s" "${names[0]}" "${names[*]:1:15}" "${names[*]:16}"
            unset IFS
            for k in "${!names[@]}"; do
                local name="${names[$k]}" type="${names[$k]%%_*}" path
                if [[ "$name" == *_missing_* ]]; then
                    path=MISSING
                else
                    path="$prod/library/$type/$(cut -d_ -f2 <<<"$name")/$name.png"
                fi
                printf 'SC%s\t%s\t%s\n' "$s" "$name" "$path" >&3
            done
        done
    } > "$prod/scene-list.csv" 3> "$prod/expected-tree.txt"
    echo "1,1,1,,,,,,0,000,0,,scene;1,2,5,,,png,BG,,2,001,1,,background;1,3,6,,,png,CHARS,,1,002,1,,characters;1,4,6,,,png,PROPS,,1,003,1,,props" \
        > "$prod/matching-table.txt"
    echo "$scale" > "$prod/scale"
}
if [ "$(cat "$prod/scale" 2>/dev/null)" != "$scale" ] || [ ! -f "$prod/expected-tree.txt" ]; then
    generate
else
    echo "using the production in $prod"
fi
scenes=$(find "$prod/scenes" -mindepth 1 -maxdepth 1 -type d | wc -l)

# ---------------------------------------------------------------------------------------------
# measure NAME CMD...: runs CMD (output to $work/NAME.out, .err) and sets cpu_ms (user +
# system, from the shell's accounting of its waited children), wall_ms and peak_kib (VmHWM of
# the process, read from /proc while it runs: no helper program is needed). A shell function
# given as CMD runs in a copy of this shell: it must `exec` its program for peak_kib to be its.
exec 9<> <(:) # a pipe that never delivers: `read -t` on it sleeps without a process
children_ms() { # sets kids_ms; `times` must run in this shell, not in a $(...) copy
    local user sys
    times > "$work/times"
    { read -r _; read -r user sys; } < "$work/times"
    to_ms "$user"
    kids_ms=$seconds_ms
    to_ms "$sys"
    kids_ms=$((kids_ms + seconds_ms))
}
to_ms() { # 1m2.345s: sets seconds_ms
    local m="${1%%m*}" s="${1#*m}"
    s="${s%s}"
    seconds_ms=$((m * 60000 + 10#${s%.*} * 1000 + 10#${s#*.}))
}
measure() {
    local name="$1"
    shift
    local before start end pid key value
    children_ms
    before=$kids_ms
    start=$EPOCHREALTIME
    "$@" > "$work/$name.out" 2> "$work/$name.err" &
    pid=$!
    peak_kib=0
    while kill -0 "$pid" 2> /dev/null; do
        while read -r key value _; do
            if [ "$key" = "VmHWM:" ] && [ "$value" -gt "$peak_kib" ]; then peak_kib=$value; fi
        done < "/proc/$pid/status" 2> /dev/null || true
        read -t 0.02 -u 9 || true
    done
    wait "$pid" || { echo "$name failed: see $work/$name.err" >&2; return 1; }
    end=$EPOCHREALTIME
    wall_ms=$(((${end/./} - ${start/./}) / 1000))
    children_ms
    cpu_ms=$((kids_ms - before))
}

printf '%-34s %8s %8s %8s   %-28s %8s %7s\n' job "CPU s" "wall s" "peak MiB" floor "CPU s" ratio
secs() { printf '%d.%02d' $(($1 / 1000)) $(($1 % 1000 / 10)); }
row() { # job cpu wall peak floor-name floor-cpu (wall and peak "-" when not measured)
    local ratio="-" wall="-" peak="-" floor_cpu="-"
    if [ "$6" -gt 0 ]; then ratio="$(secs $(($2 * 1000 / $6)))x"; fi
    if [ "$3" != "-" ]; then wall=$(secs "$3"); fi
    if [ "$4" != "-" ]; then peak=$(($4 / 1024)); fi
    if [ -n "$5" ]; then floor_cpu=$(secs "$6"); fi
    printf '%-34s %8s %8s %8s   %-28s %8s %7s\n' "$1" "$(secs "$2")" "$wall" "$peak" "$5" \
        "$floor_cpu" "$ratio"
}
checks=()
check() { # text, then a command whose success is the result
    local text="$1"
    shift
    if "$@"; then checks+=("same: $text"); else checks+=("DIFFERENT: $text"); fi
}

run_host() { exec "$host" --headless --config-dir "$work/config" "$@"; }
import_options=(--command cellKit --set ckImpNewProject=true --set ckImpUseXml=true
    --set cbImpPrecomp=1 --set 'efImpFileExtensions=*.png,*.tga,*.mov')
# Every saved project of the scenes given (or all), as "scene checksum" lines.
project_sums() {
    local s
    for s in "$@"; do
        md5sum < "$prod/scenes/$s/$s.aep" | sed "s|-|$s|"
    done
}
scene_names() { find "$prod/scenes" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort | head -n "$1"; }

# ---------------------------------------------------------------------------------------------
# Batch import: all scenes, then the first tenth. The tenth's projects must equal the whole
# batch's projects of the same scenes (nothing of one scene reaches a later one).
measure find-root find "$prod/scenes"
floor=$cpu_ms
measure import-all run_host "${import_options[@]}" --import "$prod/scenes"
row "batch import, $scenes scenes" "$cpu_ms" "$wall_ms" "$peak_kib" "find over the root" "$floor"
peak_all=$peak_kib
mapfile -t tenth < <(scene_names $((scenes / 10)))
project_sums "${tenth[@]}" > "$work/tenth-in-batch.sums"
scene_args=()
for s in "${tenth[@]}"; do scene_args+=(--scene "$s"); done
measure import-tenth run_host "${import_options[@]}" --import "$prod/scenes" "${scene_args[@]}"
row "batch import, ${#tenth[@]} scenes" "$cpu_ms" "$wall_ms" "$peak_kib" "" 0
peak_tenth=$peak_kib
project_sums "${tenth[@]}" > "$work/tenth-alone.sums"
check "projects of ${#tenth[@]} scenes, imported alone and in the batch of $scenes" \
    cmp -s "$work/tenth-in-batch.sums" "$work/tenth-alone.sums"

# "Use Library Files": ten scenes with the library re-collected before each, and without.
mapfile -t ten < <(scene_names 10)
scene_args=()
for s in "${ten[@]}"; do scene_args+=(--scene "$s"); done
library_options=(--set "lwLibDir=$prod/library/bg,$prod/library/chars,$prod/library/props"
    --set cbLibraryFolderRecursion=3)
measure library-off run_host "${import_options[@]}" "${library_options[@]}" \
    --set ckUseFilesInLibrary=false --import "$prod/scenes" "${scene_args[@]}"
floor=$cpu_ms
project_sums "${ten[@]}" > "$work/library-off.sums"
measure library-on run_host "${import_options[@]}" "${library_options[@]}" \
    --set ckUseFilesInLibrary=true --import "$prod/scenes" "${scene_args[@]}"
row "import 10 scenes, library files" "$cpu_ms" "$wall_ms" "$peak_kib" "the same without" "$floor"
project_sums "${ten[@]}" > "$work/library-on.sums"
check "projects of 10 scenes with \"Use Library Files\" on and off" \
    cmp -s "$work/library-off.sums" "$work/library-on.sums"
# The same with a table row that looks in the library for every scene (and finds nothing): the
# library is collected at the first scene and its folders checked again before each later one.
measure library-looked-up run_host "${import_options[@]}" "${library_options[@]}" \
    --table "2,0,5,,nowhere_%a,png,BG,,0,000,0,," \
    --set ckUseFilesInLibrary=true --import "$prod/scenes" "${scene_args[@]}"
row "  ... a table row looking in it" "$cpu_ms" "$wall_ms" "$peak_kib" "the same without" "$floor"
project_sums "${ten[@]}" > "$work/library-looked-up.sums"
check "projects of 10 scenes with a table row looking in the library, and without library" \
    cmp -s "$work/library-off.sums" "$work/library-looked-up.sums"

# Load the scene list and print the tree; then the same with Create AE of 50 scenes.
load_options=(--config production --command cellKit --table "$(cat "$prod/matching-table.txt")"
    --set "pb_selectSceneList=$prod/scene-list.csv" "${library_options[@]}"
    --set ckUseFilesInLibrary=true --set "pbSelectDestinationDir=$work/created" --set cbTarget=2
    --set ckImpMoveFilesToRelativePath=true --click pbLoadSceneList)
measure find-library sh -c "find '$prod/library' | wc -l"
floor=$cpu_ms
measure load run_host "${load_options[@]}" --tree-text -
row "load list, print tree" "$cpu_ms" "$wall_ms" "$peak_kib" "find LIB | wc -l" "$floor"
load_cpu=$cpu_ms
# The tree as scene, asset, path lines, against what the generator wrote.
awk '/^[^ ]/ { scene = $1; next }
     { path = ($3 == "MISSING") ? "MISSING" : $3; print scene "\t" $2 "\t" path }' \
    "$work/load.out" > "$work/tree.txt"
check "scene tree and the list the generator wrote ($(wc -l < "$work/tree.txt") elements)" \
    cmp -s "$work/tree.txt" "$prod/expected-tree.txt"

created=$((scenes < 50 ? scenes : 50))
mapfile -t chosen < <(cut -f1 "$prod/expected-tree.txt" | uniq | head -n "$created")
rm -rf "$work/created" "$work/copies" "$work/lists"
mkdir -p "$work/lists"
for s in "${chosen[@]}"; do
    mkdir -p "$work/copies/$s"
    awk -v s="$s" -F'\t' '$1 == s && $3 != "MISSING" && !seen[$3]++ { printf "%s%c", $3, 0 }' \
        "$prod/expected-tree.txt" > "$work/lists/$s"
done
copy_all() { # one cp per scene, as the files of each scene go to a folder of its own
    local s
    local -a list
    for s in "${chosen[@]}"; do
        mapfile -d '' list < "$work/lists/$s"
        cp -t "$work/copies/$s" "${list[@]}"
    done
}
measure copy copy_all
copy_cpu=$cpu_ms
files=$(find "$work/copies" -type f | wc -l)
selection="$(IFS=,; echo "${chosen[*]}")"
measure create run_host "${load_options[@]}" --select "treeWidget=$selection" \
    --click pbCreateAE --idle 1 --print-projects "$work/created"
row "load + Create AE, $created scenes" "$cpu_ms" "$wall_ms" "$peak_kib" "load + cp of $files files" \
    $((copy_cpu + load_cpu))
row "  Create AE beyond the load" $((cpu_ms - load_cpu)) - - "cp of $files files" "$copy_cpu"
# Each created scene holds one layer per element found.
awk '/^  project/ { n = split($2, p, "/"); scene = p[n - 1]; next }
     /^    [0-9]+\. / { layers[scene]++ }
     END { for (s in layers) print s, layers[s] }' "$work/create.out" | sort > "$work/layers.txt"
for s in "${chosen[@]}"; do
    awk -F'\t' -v s="$s" '$1 == s && $3 != "MISSING" { n++ } END { print s, n + 0 }' \
        "$prod/expected-tree.txt"
done | sort > "$work/layers-expected.txt"
check "layers of the $created created scenes and the elements found" \
    cmp -s "$work/layers.txt" "$work/layers-expected.txt"

# What this run made, for a later run (of another build) to compare with: -n NAME, -b NAME.
results="$work/results"
mkdir -p "$results"
cp "$work/tree.txt" "$results/tree.txt"
cp "$work/create.out" "$results/created-projects.txt"
project_sums $(scene_names "$scenes") > "$results/imported-projects.sums"
for s in "${chosen[@]}"; do md5sum < "$work/created/$s/$s.aep" | sed "s|-|$s|"; done \
    > "$results/created-projects.sums"
if [ -n "$save_as" ]; then
    rm -rf "$prod/results/$save_as"
    mkdir -p "$prod/results"
    cp -r "$results" "$prod/results/$save_as"
fi
if [ -n "$base" ]; then
    for f in tree.txt imported-projects.sums created-projects.sums; do
        check "$f of this run and of the run saved as $base" \
            cmp -s "$results/$f" "$prod/results/$base/$f"
    done
fi

echo
echo "peak memory: $((peak_all / 1024)) MiB for $scenes scenes, $((peak_tenth / 1024)) MiB for" \
    "${#tenth[@]} ($(((peak_all - peak_tenth) / 1024)) MiB more)"
printf '%s\n' "${checks[@]}"
echo "outputs in $work"
