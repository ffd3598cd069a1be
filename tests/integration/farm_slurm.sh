#!/usr/bin/env bash
# Farm jobs on a real scheduler: the sample production's Create Scene batch is planned in jobs
# of one scene, submitted to a one-node Slurm cluster with the test host as host command, and
# must give the same projects as one headless run on this machine; a second batch has one job
# cancelled before it starts, which the report names and a resubmission completes.
#
#   farm_slurm.sh CELLKIT_HOST CELLKIT_FARM SLURM_LOCAL
set -euo pipefail
host=$(readlink -f "$1") farm=$(readlink -f "$2") slurm_local=$(readlink -f "$3")
[ -z "${XDG_RUNTIME_DIR:-}" ] || mkdir -p -m 700 "$XDG_RUNTIME_DIR"
work=$(mktemp -d)
chmod 755 "$work" # munged wants every folder on the way to its socket open to all
cluster="$work/cluster"
cleanup() {
    local status=$?
    if [ "$status" -ne 0 ]; then
        # What the cluster and the tasks said, for the failure's cause.
        for log in "$cluster"/log/*.log "$work"/plan*/logs/*.out; do
            [ -f "$log" ] && { echo "== $log" >&2; tail -n 20 "$log" >&2; }
        done
    fi
    "$slurm_local" stop "$cluster" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
seconds_since() { echo "$(date +%s.%N) $1" | awk '{ printf "%.2f", $1 - $2 }'; }
# Every task of the scheduler job has left the queue (bounded: a lost job fails the test).
wait_job() {
    for _ in $(seq 600); do
        [ -z "$(squeue -h -j "$1" -o %i 2>/dev/null)" ] && return 0
        sleep 0.2
    done
    squeue >&2 || true
    fail "scheduler job $1 still queued after 120 s"
}
# The saved projects below a folder and the files written there, the folder itself written OUT.
projects() {
    "$host" --headless --print-projects "$1" | sed "s#$1#OUT#g"
    (cd "$1" && find . -type f | sort)
}

"$host" --headless --make-production prod >/dev/null
panel=(--command cellKit --table "$(cat prod/matching-table.txt)"
    --set "pb_selectSceneList=$work/prod/scene-list.csv" --set "lwLibDir=$work/prod/library"
    --set cbLibraryFolderRecursion=1 --set cbTarget=2 --set ckImpMoveFilesToRelativePath=true
    --set sbImpCompWidth=640 --set sbImpCompHeight=360)

# One machine, one headless session: every scene of the list created in turn.
start=$(date +%s.%N)
"$host" --headless --config-dir cfg --config local "${panel[@]}" \
    --set "pbSelectDestinationDir=$work/local" --click pbLoadSceneList \
    --select treeWidget=SC010,SC020,SC030 --click pbCreateAE --idle 1 >/dev/null
one_machine=$(seconds_since "$start")
# The farm's configuration: the same settings saved under another name, its own output folder.
"$host" --headless --config-dir cfg --config farm "${panel[@]}" \
    --set "pbSelectDestinationDir=$work/farm" >/dev/null
config="$work/cfg/Quillmark/cellKit4after-farm.ini"
[ -f "$config" ] || fail "no configuration saved at $config"

conf=$("$slurm_local" start "$cluster")
eval "$conf"
host_command=$(printf '%q' "$host")

# 1. Every scene through the cluster.
"$farm" plan --config "$config" --per-job 1 --out plan1 >/dev/null
start=$(date +%s.%N)
job=$("$farm" submit plan1 --scheduler slurm --host-command "$host_command")
wait_job "$job"
cluster_time=$(seconds_since "$start")
"$farm" report plan1 > report1.txt || { cat report1.txt plan1/logs/* >&2; fail "report of plan1"; }
grep -q '^done 3, failed 0, skipped 0, never reported 0$' report1.txt || fail "$(cat report1.txt)"
[ "$(projects "$work/local")" = "$(projects "$work/farm")" ] ||
    fail "the cluster's projects differ from the single machine's: $(diff <(projects "$work/local") <(projects "$work/farm"))"
echo "sample batch (3 scenes): one machine ${one_machine} s, through the cluster ${cluster_time} s"

# 2. One job cancelled before it starts: held at submission, SC020's task cancelled, released.
rm -rf "$work/farm"
"$farm" plan --config "$config" --per-job 1 --out plan2 >/dev/null
job=$("$farm" submit plan2 --scheduler slurm --host-command "$host_command" --sbatch-option --hold)
scancel "${job}_1"
scontrol release "$job"
wait_job "$job"
status=0
"$farm" report plan2 > report2.txt || status=$?
echo "report after cancelling task ${job}_1 (exit status $status):"
cat report2.txt
[ "$status" -eq 1 ] || fail "report exit status $status, not 1"
grep -q '^  SC020  never reported' report2.txt || fail "SC020 not named as never reported"
grep -q '^not done: SC020$' report2.txt || fail "the scenes not done are not SC020 alone"
"$farm" report plan2 --resubmit-plan >/dev/null 2>&1 || true
job=$("$farm" submit plan2 --scheduler slurm --host-command "$host_command")
wait_job "$job"
"$farm" report plan2 > report3.txt || { cat report3.txt >&2; fail "report after resubmission"; }
grep -q '^done 3, failed 0, skipped 0, never reported 0$' report3.txt || fail "$(cat report3.txt)"
[ "$(projects "$work/local")" = "$(projects "$work/farm")" ] || fail "resubmitted projects differ"
echo "1 passed, 0 failed"
