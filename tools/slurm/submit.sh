#!/usr/bin/env bash
# Submits a Kestrova map to Slurm: a job array, one task a block of the map
# or a site of a site file, and the job that puts their results together,
# which starts only when every task has succeeded (--dependency=afterok).
# Memory and time for each come from kestrova-cli's own plan (--plan --json).
#
#   submit.sh [--wait] blocks N OUTDIR COVERAGE_OPTIONS... [-- MERGE_OPTIONS...]
#   submit.sh [--wait] sites SITES_FILE OUTDIR BATCH_OPTIONS...
#
# COVERAGE_OPTIONS are those of `kestrova-cli coverage` (the map), without
# outputs; MERGE_OPTIONS the outputs and display options of `kestrova-cli
# merge` (by default map.csv, map.png, map.kmz and map.tif in OUTDIR).
# BATCH_OPTIONS are those of `kestrova-cli coverage-batch`. --wait waits for
# the last job and ends with its exit status.
#
# Environment: KESTROVA_CLI (the tool; kestrova-cli on the PATH by default),
# KESTROVA_CPUS (CPUs, hence threads, a task; default 1), and Slurm's own
# SBATCH_PARTITION, SBATCH_ACCOUNT, ... for every job submitted.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
task_script=$here/kestrova-task.sbatch
wait=false
if [ "${1:-}" = "--wait" ]; then wait=true; shift; fi
if [ $# -lt 3 ]; then sed -n '2,20p' "$0" >&2; exit 1; fi
mode=$1 what=$2 outdir=$3
shift 3
cli=$(command -v "${KESTROVA_CLI:-kestrova-cli}") || { echo "submit.sh: kestrova-cli not found (set KESTROVA_CLI)" >&2; exit 1; }
cpus=${KESTROVA_CPUS:-1}
mkdir -p "$outdir/logs"
outdir=$(cd "$outdir" && pwd)

# The largest memory (MB, with room for the program itself) and time
# (minutes, three times the estimate and at least five) of the plan's
# entries, the last entry apart (what = first) or alone (what = last).
resources() { # first|last, plan JSON on stdin
  awk -v which="$1" '
    /"bytes":/   { gsub(/[^0-9]/, "", $2); bytes[n] = $2 }
    /"seconds":/ { gsub(/[^0-9.e+-]/, "", $2); seconds[n] = $2; n++ }
    END {
      from = which == "last" ? n - 1 : 0; to = which == "last" ? n : (n > 1 ? n - 1 : n)
      for (k = from; k < to; k++) { if (bytes[k] > b) b = bytes[k]; if (seconds[k] > s) s = seconds[k] }
      minutes = int(3 * s / 60) + 1; if (minutes < 5) minutes = 5
      printf "--mem=%dM --time=%d\n", int(b / 1e6) + 200, minutes
    }'
}

submit() { sbatch --parsable --export="ALL,KESTROVA_CLI=$cli,KESTROVA_TASK_SCRIPT=$task_script" "$@" | cut -d';' -f1; }

case "$mode" in
  blocks)
    n=$what
    coverage=() merge=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do coverage+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    merge=("$@")
    [ ${#merge[@]} -gt 0 ] || merge=(--csv "$outdir/map.csv" --image "$outdir/map.png"
                                    --kmz "$outdir/map.kmz" --geotiff "$outdir/map.tif")
    # shellcheck disable=SC2207
    task=($("$cli" coverage "${coverage[@]}" --threads "$cpus" --block "1/$n" --plan --json | resources first))
    # The merge holds the whole grid and its images: about 16 bytes a cell.
    cells=$("$cli" coverage "${coverage[@]}" --plan --json | awk '/"cells":/ { gsub(/[^0-9]/, "", $2); print $2 }')
    array=$(submit --job-name=kestrova-blocks --array="1-$n" --cpus-per-task="$cpus" "${task[@]}" \
      --output="$outdir/logs/%x-%A_%a.out" "$task_script" block "$n" "$outdir" "${coverage[@]}")
    echo "array job $array: $n blocks (${task[*]} a task), pieces in $outdir"
    last=$(submit --job-name=kestrova-merge --dependency="afterok:$array" \
      --kill-on-invalid-dep=yes --mem=$((cells * 16 / 1000000 + 300))M --time=30 \
      --output="$outdir/logs/%x-%j.out" "$task_script" merge "$n" "$outdir" "${merge[@]}")
    ;;
  sites)
    sites=$(cd "$(dirname "$what")" && pwd)/$(basename "$what")
    plan=$("$cli" coverage-batch "$sites" "$@" --threads "$cpus" --plan --json)
    count=$(grep -c '"what": "site ' <<<"$plan")
    # shellcheck disable=SC2207
    task=($(resources first <<<"$plan"))
    # shellcheck disable=SC2207
    composite=($(resources last <<<"$plan"))
    array=$(submit --job-name=kestrova-sites --array="1-$count" --cpus-per-task="$cpus" "${task[@]}" \
      --output="$outdir/logs/%x-%A_%a.out" "$task_script" site "$sites" "$outdir" "$@")
    echo "array job $array: $count sites (${task[*]} a task), maps in $outdir"
    last=$(submit --job-name=kestrova-composite --dependency="afterok:$array" \
      --kill-on-invalid-dep=yes "${composite[@]}" --output="$outdir/logs/%x-%j.out" \
      "$task_script" composite "$sites" "$outdir" "$@")
    ;;
  *)
    echo "submit.sh: the first argument must be blocks or sites" >&2
    exit 1
    ;;
esac
echo "job $last puts them together after every task has succeeded; logs in $outdir/logs"
$wait || exit 0

# Until the last job has ended (sbatch --wait looks every 2 to 32 seconds;
# this every 0.2 growing to 2), then its state: COMPLETED, or what went wrong.
pause=0.2
while :; do
  state=$(scontrol show job "$last" -o 2>/dev/null | grep -o 'JobState=[A-Z_]*' | cut -d= -f2 || true)
  case "$state" in
    PENDING | CONFIGURING | RUNNING | COMPLETING | SUSPENDED | REQUEUED | RESIZING | "") ;;
    COMPLETED) echo "job $last completed"; exit 0 ;;
    *)
      echo "job $last ended $state; the tasks' logs (each failed one says how to run it again):" >&2
      grep -l FAILED "$outdir"/logs/* 2>/dev/null | sed 's/^/  /' >&2 || true
      exit 1
      ;;
  esac
  sleep "$pause"
  pause=$(awk -v p="$pause" 'BEGIN { p *= 1.5; print (p > 2 ? 2 : p) }')
done
