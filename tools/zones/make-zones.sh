#!/usr/bin/env bash
# Builds zones01.dem, the world map of ITU-R P.452 radio-climatic zones, from
# the GSHHG shorelines that GMT reads, and packs it as data/zones01.dem.tar.xz.
#   bash tools/zones/make-zones.sh [WORK_DIR]
# Needs the Debian packages gmt, gmt-gshhg-high, g++ and xz-utils. The rule
# it applies is described in tools/zones/README.md.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
# The intermediate files (about 0.7 GB) go to WORK_DIR, or to a temporary
# directory that is removed at the end.
if [ $# -ge 1 ]; then
  WORK=$1
else
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
fi
mkdir -p "$WORK" "$ROOT/data"
cd "$WORK"

# The zone grid: 21600 x 10800 cells of 1 arc-minute, cell-centred
# (pixel registration), row 0 at the north.
GRID=(-R-180/180/-90/90 -I1m -r -Dh)

# 1. Level of every cell in the shoreline hierarchy: 0 ocean, 1 land,
#    2 lake (or river-lake), 3 island in a lake, 4 pond on such an island.
gmt grdlandmask "${GRID[@]}" -A0/0/4 -N0/1/2/3/4 -Glevel.nc
# 2. Lakes (not river-lakes) of 7800 km2 or more, rasterised on their own.
gmt grdlandmask "${GRID[@]}" -A7800/2/2+l -N0/0/1/0/0 -Glargelakes.nc
# Raw bytes, north row first, west column first.
gmt grd2xyz level.nc -ZTLc >level.u8
gmt grd2xyz largelakes.nc -ZTLc >largelakes.u8

# 3. Sea, coastal land and inland, packed four cells a byte.
g++ -std=c++20 -O2 -Wall -Wextra -o classify "$HERE/ClassifyZones.cpp" "$HERE/ZoneRule.cpp"
./classify level.u8 largelakes.u8 zones01.dem

# 4. A reproducible archive: fixed order, owner and time.
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 -cf zones01.dem.tar zones01.dem
xz -9e -T1 -c zones01.dem.tar >"$ROOT/data/zones01.dem.tar.xz"
sha256sum zones01.dem
