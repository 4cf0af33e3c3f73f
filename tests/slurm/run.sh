#!/usr/bin/env bash
# A map computed on a Slurm cluster gives the very files of the one-process
# run. Starts a single-node cluster (munged, slurmctld, slurmd) from a
# generated slurm.conf in a temporary folder, submits a 4-task array over a
# small map and the merge that depends on it (tools/slurm/submit.sh), waits,
# compares the merged files with `kestrova-cli coverage`'s byte for byte,
# and stops every daemon it started, whatever happens. Then a block that
# fails: named, run again alone, merged; and the maps of a site file of
# three sites and their composite.
#
#   bash tests/slurm/run.sh [KESTROVA_CLI]     as root, with slurm-wlm and munge
# (KESTROVA_SLURM_KEEP=1 keeps the temporary folder, its logs, for a look.)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cli=$(cd "$(dirname "${1:-$root/build/bin/kestrova-cli}")" && pwd)/$(basename "${1:-kestrova-cli}")
[ -x "$cli" ] || { echo "run.sh: no kestrova-cli at $cli" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "run.sh: the daemons need root" >&2; exit 1; }
for tool in munged mungekey slurmctld slurmd sbatch sinfo unzip; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool missing (apt-get install slurm-wlm munge unzip)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kestrova-slurm-XXXXXX)
cd "$work" # jobs submitted without --output write their logs here, not in the checkout
chmod 755 "$work"
# shellcheck disable=SC2317 # run by the trap
stop() {
  local status=$?
  # Jobs first, then the daemons this script started, by their pid files.
  if [ -f "$work/slurm.conf" ]; then
    SLURM_CONF=$work/slurm.conf scancel --full --quiet --user=root 2>/dev/null || true
  fi
  for name in slurmd slurmctld munged; do
    [ -s "$work/$name.pid" ] || continue
    pid=$(cat "$work/$name.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  if [ "$status" -ne 0 ]; then
    for log in "$work"/*.log "$work"/out/logs/*; do
      [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; }
    done
  fi
  if [ -n "${KESTROVA_SLURM_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
  exit "$status"
}
trap stop EXIT
trap 'exit 130' INT TERM

# A port no one listens on, from 20000 up.
free_port() {
  local port=$1
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  echo "$port"
}

host=$(hostname -s)
mkdir -p "$work/state" "$work/spool" "$work/munge"
chmod 711 "$work/munge" # clients reach the socket, not the key
mungekey --create --keyfile="$work/munge/munge.key" >/dev/null 2>&1 || \
  dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$work/munge/munge.key"
munged --force --key-file="$work/munge/munge.key" --socket="$work/munge/socket" \
  --pid-file="$work/munged.pid" --log-file="$work/munged.log" --seed-file="$work/munge/seed"

ctld_port=$(free_port 20817)
slurmd_port=$(free_port $((ctld_port + 1)))
node=$(slurmd -C | head -n 1)          # NodeName=<host> CPUs=... RealMemory=...
cat > "$work/slurm.conf" <<CONF
ClusterName=kestrova-ci
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/socket
SlurmUser=root
SlurmdUser=root
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
ReturnToService=2
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
$node NodeAddr=127.0.0.1 State=UNKNOWN
PartitionName=ci Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$work/slurm.conf
slurmctld -i -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
for _ in $(seq 300); do
  state=$(sinfo -h -o %t 2>/dev/null || true)
  [ "$state" = idle ] && break
  sleep 0.1
done
[ "$state" = idle ] || { echo "run.sh: the node is \"$state\", not idle"; exit 1; }

# The map: 10 km around a point of the demo tile at 30": about 35 x 35 cells.
map=(--tx SU374616 --range 10 --resolution 30 --freq 1.3 --percent 10 --tx-height 25
     --rx-height 10)
outputs() { # folder
  echo --csv "$1/map.csv" --png "$1/grid.png" --image "$1/map.png" --scale "$1/scale.png" \
       --kmz "$1/map.kmz" --geotiff "$1/map.tif" --contours
}
mkdir -p "$work/whole"
# shellcheck disable=SC2046
"$cli" coverage "${map[@]}" $(outputs "$work/whole") >/dev/null 2>&1
start=$(date +%s.%N)
# shellcheck disable=SC2046
KESTROVA_CLI=$cli "$root/tools/slurm/submit.sh" --wait blocks 4 "$work/out" "${map[@]}" -- \
  $(outputs "$work/out")
end=$(date +%s.%N)
blocks_end=$(date +%s.%N)
pieces=$(find "$work/out" -name "block-*-of-4.piece" | wc -l)
[ "$pieces" -eq 4 ] || { echo "run.sh: $pieces pieces, not 4"; exit 1; }

failed=0
for name in map.csv grid.png map.png scale.png map.tif; do
  if cmp -s "$work/whole/$name" "$work/out/$name"; then
    echo "same bytes: $name ($(stat -c %s "$work/out/$name") bytes)"
  else
    echo "DIFFERENT: $name"; failed=1
  fi
done
# The archive dates its entries with the time they were written: the
# entries themselves must be the same bytes.
for entry in $(unzip -Z1 "$work/whole/map.kmz"); do
  if cmp -s <(unzip -p "$work/whole/map.kmz" "$entry") <(unzip -p "$work/out/map.kmz" "$entry"); then
    echo "same bytes: map.kmz/$entry"
  else
    echo "DIFFERENT: map.kmz/$entry"; failed=1
  fi
done
[ "$(unzip -Z1 "$work/whole/map.kmz")" = "$(unzip -Z1 "$work/out/map.kmz")" ] || { echo "DIFFERENT: map.kmz entries"; failed=1; }
# A task that fails is named, the merge is not run, and the task's log
# gives the line that runs it alone again; after it and the merge, the
# files are the same.
printf '#!/bin/sh\ncase "$*" in *"--block 2/4"*) echo "no room on this node" >&2; exit 3;; esac\nexec %q "$@"\n' \
  "$cli" > "$work/failing-cli"
chmod +x "$work/failing-cli"
# shellcheck disable=SC2046
if KESTROVA_CLI=$work/failing-cli "$root/tools/slurm/submit.sh" --wait blocks 4 "$work/retry" \
     "${map[@]}" -- $(outputs "$work/retry") 2>"$work/retry.err"; then
  echo "run.sh: a failed block went unnoticed"; exit 1
fi
log=$(grep -l "block 2/4 FAILED with exit status 3" "$work"/retry/logs/kestrova-blocks-*_2.out) ||
  { echo "run.sh: no log names the failed block"; cat "$work/retry.err"; exit 1; }
grep -q "$log" "$work/retry.err" || { echo "run.sh: submit.sh did not name $log"; exit 1; }
[ ! -e "$work/retry/map.csv" ] || { echo "run.sh: merged without block 2"; exit 1; }
again=$(grep -A1 "run it again alone" "$log" | tail -n 1)
echo "re-running: ${again:0:60}..."
KESTROVA_CLI=$cli eval "${again/sbatch /sbatch --wait --quiet }"
# shellcheck disable=SC2046
KESTROVA_CLI=$cli sbatch --wait --quiet "$root/tools/slurm/kestrova-task.sbatch" merge 4 \
  "$work/retry" $(outputs "$work/retry")
for name in map.csv map.tif map.png; do
  if cmp -s "$work/whole/$name" "$work/retry/$name"; then
    echo "same bytes after the failed block ran again: $name"
  else
    echo "DIFFERENT after the failed block ran again: $name"; failed=1
  fi
done

# A site file of three sites: one task a site, then the composite.
printf '%s\n' "Hill~51.6 N 1.5 W~25m~1.3GHz" "Tower~51.55 N 1.4 W~40m" \
  "Mast~SU374616~15m~2.4GHz" > "$work/sites.dat"
batch=(--range 10 --resolution 30 --freq 1.3 --percent 10 --rx-height 10)
"$cli" coverage-batch "$work/sites.dat" "${batch[@]}" --out-dir "$work/batch" >/dev/null 2>&1
KESTROVA_CLI=$cli "$root/tools/slurm/submit.sh" --wait sites "$work/sites.dat" "$work/sites" \
  "${batch[@]}"
for name in composite.tif site-1.csv site-1.tif site-1.png site-1.grid site-2.grid site-3.grid \
            site-3.csv site-3.tif; do
  if cmp -s "$work/batch/$name" "$work/sites/$name"; then
    echo "same bytes: sites/$name"
  else
    echo "DIFFERENT: sites/$name"; failed=1
  fi
done
if cmp -s <(unzip -p "$work/batch/composite.kmz" doc.kml BestServer.png) \
          <(unzip -p "$work/sites/composite.kmz" doc.kml BestServer.png); then
  echo "same bytes: sites/composite.kmz/doc.kml and BestServer.png"
else
  echo "DIFFERENT: sites/composite.kmz"; failed=1
fi
end=$(date +%s.%N)
awk -v a="$start" -v m="$blocks_end" -v b="$end" 'BEGIN {
  printf "On Slurm: 4 blocks and the merge %.1f s; with a failed block run again and the three sites, %.1f s in all\n", m - a, b - a }'
exit "$failed"
