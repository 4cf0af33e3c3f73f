#!/usr/bin/env bash
# One task of a Kestrova map on a Slurm cluster; submit.sh submits it (see
# README.md). The first two arguments say what to do, the rest go to
# kestrova-cli:
#
#   block N OUTDIR COVERAGE_OPTIONS...    array task I: block I/N of the map,
#                                         written as OUTDIR/block-I-of-N.piece
#   merge N OUTDIR MERGE_OPTIONS...       the N pieces put together (the map's
#                                         files as MERGE_OPTIONS name them)
#   site SITES OUTDIR BATCH_OPTIONS...    array task K: site K of the site file,
#                                         its files as OUTDIR/site-K.*
#   composite SITES OUTDIR BATCH_OPTIONS...  the composite from OUTDIR/site-*.grid
#
# A task that fails says which block or site it was and how to run it again
# alone, and ends with kestrova-cli's exit status (sacct shows it too).
#SBATCH --job-name=kestrova
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
set -euo pipefail

cli=${KESTROVA_CLI:-kestrova-cli}
mode=$1 count_or_sites=$2 outdir=$3
shift 3
threads=${SLURM_CPUS_PER_TASK:-1}
task=${SLURM_ARRAY_TASK_ID:-1}

# Slurm runs a copy of this script: submit.sh names the original.
script=${KESTROVA_TASK_SCRIPT:-kestrova-task.sbatch}
arguments=$(printf ' %q' "$@")

run() { # what, the sbatch options to run it again, command...
  local what=$1 again=$2 status=0
  shift 2
  echo "kestrova: $what on $(hostname -s): $(printf '%q ' "$@")" >&2
  "$@" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "kestrova: $what FAILED with exit status $status; run it again alone:" >&2
    echo "  sbatch $again $script $mode $count_or_sites $outdir$arguments" >&2
    exit "$status"
  fi
}

case "$mode" in
  block)
    n=$count_or_sites
    run "block $task/$n" "--array=$task --output=$outdir/logs/%x-%A_%a.out" \
      "$cli" coverage "$@" --threads "$threads" --block "$task/$n" \
      --piece "$outdir/block-$task-of-$n.piece"
    ;;
  merge)
    n=$count_or_sites
    pieces=()
    for ((i = 1; i <= n; i++)); do pieces+=("$outdir/block-$i-of-$n.piece"); done
    run "merge of $n blocks" "--output=$outdir/logs/%x-%j.out" "$cli" merge "${pieces[@]}" "$@"
    ;;
  site)
    sites=$count_or_sites
    run "site $task of $sites" "--array=$task --output=$outdir/logs/%x-%A_%a.out" \
      "$cli" coverage-batch "$sites" "$@" --threads "$threads" --site "$task" --out-dir "$outdir"
    ;;
  composite)
    sites=$count_or_sites
    run "composite of $sites" "--output=$outdir/logs/%x-%j.out" \
      "$cli" coverage-batch "$sites" "$@" --composite-only --out-dir "$outdir"
    ;;
  *)
    echo "kestrova-task.sbatch: the first argument must be block, merge, site or composite" >&2
    exit 1
    ;;
esac
