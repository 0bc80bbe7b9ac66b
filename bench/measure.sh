#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks, runs every one of them once with its floor in the same run, and writes
# the measured tables of docs/PERFORMANCE.md (between its "measured" marks) with the commit, the
# date and the machine. The text around the tables is kept. Takes about ten minutes; the big map
# package (400 MB) is written to <temp>/marrowind-bigmap on the first run.
# Usage: bash bench/measure.sh [benchmark options, e.g. --benchmark_min_time=1]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWIND_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target marrowind_bench marrowind_bigmap_bench marrowind_game_bench Marrowind

runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT
options=("--benchmark_min_time=0.3" "$@")
echo "== benchmarks of the stress package"
build/bin/marrowind_bench "${options[@]}" --benchmark_format=csv >"$runs/stress.csv" 2>/dev/null
echo "== benchmarks of the big map"
build/bin/marrowind_bigmap_bench "${options[@]}" --benchmark_format=csv >"$runs/big.csv" 2>/dev/null
echo "== benchmarks of a game of 1,000 turns"
build/bin/marrowind_game_bench "${options[@]}" --benchmark_format=csv >"$runs/game.csv" 2>/dev/null
echo "== the window's zoom step under Xvfb with openbox"
if command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
  bash tests/app/with-window-manager.sh build/bin/marrowind_bigmap_bench "${options[@]}" \
    --benchmark_filter='ZoomStep' --benchmark_format=csv 2>/dev/null | sed 's/^"/"X:/' >"$runs/x.csv"
else
  : >"$runs/x.csv"
fi
peak=$(build/bin/marrowind_bigmap_bench --peak-memory 2>/dev/null | tail -n 1)

# Replayed sessions of 1,000 events, each a whole process on both maps; what an event costs is
# the session less the same process replaying only the session's prelude, divided by its events
# (the least of three runs each: the start of a process on the big map varies by tenths of a
# second). The scroll zooms in first, so that both maps are larger than the map area.
echo "== replayed sessions"
bigmap="${TMPDIR:-/tmp}/marrowind-bigmap"
ln -f build/bin/Marrowind "$bigmap/Marrowind" 2>/dev/null || cp build/bin/Marrowind "$bigmap/Marrowind"
echo "print title" >"$runs/none.txt"
: >"$runs/zoom.prelude"
for _ in 1 2 3 4 5 6; do echo "wheel 600 400 0 120 ctrl"; done >"$runs/scroll.prelude"
echo "palette 20 75" >"$runs/edits.prelude"
for _ in $(seq 500); do echo "wheel 600 400 0 120 ctrl"; echo "wheel 600 400 0 -120 ctrl"; done >"$runs/zoom.events"
for _ in $(seq 500); do echo "wheel 600 400 0 -100"; echo "wheel 600 400 0 100"; done >"$runs/scroll.events"
{
  for i in $(seq 500); do
    at="$((100 + 17 * i % 1000)) $((100 + 11 * i % 600))"
    echo "press left $at"
    echo "release left $at"
  done
  for _ in $(seq 500); do echo "key Z ctrl"; done
} >"$runs/edits.events"
for name in zoom scroll edits; do
  cat "$runs/$name.prelude" "$runs/none.txt" >"$runs/$name.base"
  cat "$runs/$name.prelude" "$runs/$name.events" "$runs/none.txt" >"$runs/$name.session"
done
session_us() {  # map script: the least of three runs, in microseconds
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$bigmap/Marrowind" --replay "$2" "$bigmap/$1.gim/Start.QPX" >/dev/null 2>&1
    echo $((($(date +%s%N) - start) / 1000))
  done | sort -n | head -n 1
}
replayed=""
for session in "zoom:1000:a zoom step by the wheel, 1.0 to 1.1 and back" \
  "scroll:1000:a scroll of 100 pixels by the wheel, at zoom 1.6" \
  "edits:1000:a piece placed by a click, or an undo"; do
  IFS=: read -r name events what <<<"$session"
  line="| $what |"
  for map in Big Tess; do
    base=$(session_us "$map" "$runs/$name.base")
    total=$(session_us "$map" "$runs/$name.session")
    line="$line $(awk -v t="$total" -v b="$base" -v n="$events" 'BEGIN {
      us = (t - b) / n
      if (us < 5) print "under 5 µs"; else if (us < 1000) printf "%.0f µs", us; else printf "%.1f ms", us / 1000 }') |"
  done
  replayed="$replayed$line"$'\n'
done
# The whole program in a fresh process, five times: start, the big package loaded and the
# window's first paint, as the replay paints it.
fresh=$(for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$bigmap/Marrowind" --replay "$runs/none.txt" "$bigmap/Big.gim/Start.QPX" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
done | sort -n | awk '{ t[NR] = $1 } END { printf "%d to %d ms (median %d ms)", t[1], t[NR], t[3] }')

# One row a line: operation | benchmark | floor | floor benchmark | goal. A benchmark written
# "A-B" is the time of A less that of B (what a whole process costs beyond the same run on less).
rows() {
  cat <<'ROWS'
`LoadMapPackage` of the stress package|LoadMapPackage|reading every file of the package from the page cache into memory touched before|LoadMapPackageFloor|≤ 3
composing the whole picture in bands of 256 rows, as `--render` does, zoom 1.0|RedrawMapRegion/0|one copy of a picture of that size into memory touched before|RedrawMapRegionFloor/0|≤ 5
the same, zoom 2.0|RedrawMapRegion/10|the same|RedrawMapRegionFloor/10|≤ 5
`LoadPosition`, 1,000 stacks|LoadPosition/1000|reading the same bytes from the page cache into memory touched before|LoadPositionFloor/1000|—
`LoadPosition`, 10,000 stacks|LoadPosition/10000|the same|LoadPositionFloor/10000|—
`LoadPosition`, 100,000 stacks (2.4 MB)|LoadPosition/100000|the same|LoadPositionFloor/100000|≤ 3
`LoadPosition`, 1,000,000 stacks (24 MB)|LoadPosition/1000000|the same|LoadPositionFloor/1000000|—
`LoadPosition`, 100,000 stacks, against decoding alone|LoadPosition/100000|the same read, then each record's fields decoded into one array of records|LoadPositionDecodeFloor/100000|—
`LoadPosition`, 1,000,000 stacks, against decoding alone|LoadPosition/1000000|the same|LoadPositionDecodeFloor/1000000|—
`Marrowind --totals`, 1,000,000 stacks, beyond the same run on the start position|TotalsProcess/1-TotalsProcess/0|a C program mapping the grid and the position, giving each stack its sector and summing its pieces|TotalsFloor|≤ 4
`SavePosition`, 100,000 stacks|SavePosition|writing the same bytes and flushing them|SavePositionFloor/1|≤ 3
`RecoveryCopyTick`, 100,000 stacks: what the window waits for at a recovery copy|RecoveryCopyTick|–|–|well under a frame
`pal2sect`, 4096 × 3072, as a process|Tool/0|`cp` of the input and writing the output's bytes, flushed|ToolFloor/0|≤ 2
`rgb2sect`, 4096 × 3072, as a process|Tool/1|the same|ToolFloor/1|≤ 2
`vorn`, 511 lines, as a process|Tool/2|the same|ToolFloor/2|≤ 2
loading the big package (10,000 × 8,000) with the first paint|LoadPackage/1|mapping its files from the page cache and one pass of the picture's rows into 32-bit pixels in fresh memory|LoadPackageFloor/1|≤ 2
loading the Isles of Tess with the first paint|LoadPackage/0|the same|LoadPackageFloor/0|—
a zoom step on the big map, 1.6 to 1.7 and back, with its repaint|ZoomStep/1|the same on the Isles of Tess|ZoomStep/0|≤ 2
the same zoom step in the real window (offscreen, 1920 × 1080), key to painted window, big map|ZoomStepWindow/1/6|the composition it needs: the zoom step above|ZoomStep/1|≤ 2
the same, Isles of Tess|ZoomStepWindow/0/6|the same on the Isles of Tess|ZoomStep/0|≤ 2
the same under Xvfb with openbox, big map|X:ZoomStepWindow/1/6|the same, composed in the same run|X:ZoomStep/1|≤ 2
the same under Xvfb with openbox, Isles of Tess|X:ZoomStepWindow/0/6|the same|X:ZoomStep/0|≤ 2
a zoom step 1.0 to 1.1 on the Isles of Tess under Xvfb with openbox, where the window's size follows the picture|X:ZoomStepWindow/0/0|–|–|—
a scroll of 100 pixels on the big map, with what comes into view composed|Scroll100/1|the same on the Isles of Tess|Scroll100/0|≤ 2
placing a piece and undoing it on the big map, with both repaints|EditWithRedraw/1|the same on the Isles of Tess|EditWithRedraw/0|≤ 2
comparing two positions of 100,000 stacks on the big map, as `--diff` does beyond its loads|ComparePositions|loading both positions|ComparePositionsFloor|< 1
reading turn 500 of a game of 1,000 turns of 10,000 stacks (240 MB), with its sectors and totals|GameReadTurn|loading the same position from its own file, with its sectors and totals|GameLoadPosition|≤ 2
stepping to a turn of that game in the window (Alt+Left, Alt+Right), compared with the turn before, the map composed again|GameStep|opening the same position's file in the window|GameOpenPosition|≤ 2
the same step against loading the position alone|GameStep|loading the position from its own file, with its sectors and totals|GameLoadPosition|—
opening that game: SQLite's quick check of the whole file, and its turns listed|GameOpenFile|the same|GameLoadPosition|—
every turn's totals, which the History window and the Trends chart show|GameFigures|the same|GameLoadPosition|—
recording a turn of 10,000 stacks, committed to the disk|GameRecord|the same|GameLoadPosition|—
the Trends chart of the 1,000 turns and 8 countries, made and drawn at 800 × 500|GameChart|the same|GameLoadPosition|—
ROWS
}

{
  echo "<!-- measured: begin (written by bench/measure.sh; edit the script, not these lines) -->"
  echo "Measured by \`bash bench/measure.sh\` on $(date -u +%Y-%m-%d) at commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . ':!docs' || echo ' with changes'), on $(nproc) cores of $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) of memory, $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r), transparent huge pages $(sed 's/.*\[\(.*\)\].*/\1/' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null || echo unknown), files in the page cache."
  echo
  echo "| operation | time | floor | floor time | ratio | goal |"
  echo "|---|---|---|---|---|---|"
  rows | awk -F'|' -v stress="$runs/stress.csv" -v big="$runs/big.csv" -v x="$runs/x.csv" -v game="$runs/game.csv" '
    function load(file,   line, f) {
      while ((getline line < file) > 0) {
        if (line !~ /^"/) continue
        split(line, f, ",")
        gsub(/"/, "", f[1])
        ms = f[3]
        if (f[5] == "us") ms = f[3] / 1000
        if (f[5] == "ns") ms = f[3] / 1000000
        if (f[5] == "s") ms = f[3] * 1000
        time[f[1]] = ms
      }
    }
    function of(name,   parts) {
      if (index(name, "-") > 1) { split(name, parts, "-"); return time[parts[1]] - time[parts[2]] }
      return (name in time) ? time[name] : -1
    }
    function shown(ms) {
      if (ms < 0) return "not run"
      if (ms < 0.01) return sprintf("%.2f µs", ms * 1000)
      if (ms < 1) return sprintf("%.3f ms", ms)
      if (ms < 100) return sprintf("%.1f ms", ms)
      return sprintf("%.0f ms", ms)
    }
    BEGIN { load(stress); load(big); load(x); load(game) }
    {
      t = of($2)
      if ($4 == "–") { printf "| %s | %s | | | | %s |\n", $1, shown(t), $5; next }
      f = of($4)
      ratio = (t >= 0 && f > 0) ? sprintf("%.1f", t / f) : "–"
      printf "| %s | %s | %s | %s | %s | %s |\n", $1, shown(t), $3, shown(f), ratio, $5
    }'
  echo
  echo "Decoding \`Map.bmp\` as the viewer does, by size (8-bit palette, 4:3; each run once before it is timed):"
  echo
  echo "| megapixels | time | per megapixel |"
  echo "|---|---|---|"
  awk -F, '/^"LoadPictureOf\// {
      name = $1; gsub(/"|LoadPictureOf\//, "", name)
      ms = $3; if ($5 == "us") ms = $3 / 1000; if ($5 == "s") ms = $3 * 1000
      printf "| %s | %.1f ms | %.2f ms |\n", name, ms, ms / name
    }' "$runs/big.csv"
  echo
  echo "Replayed sessions (\`Marrowind --replay\`, which paints after every event as the window does, with a map area of 1920 × 1080 at most), what one event costs beyond the same process without the events (a difference of whole processes: below a few microseconds it is lost in their noise):"
  echo
  echo "| event | big map | Isles of Tess |"
  echo "|---|---|---|"
  printf '%s' "$replayed"
  echo
  echo "Memory: $peak."
  echo
  echo "A fresh process showing the big map (\`Marrowind --replay\` printing its title after the first paint), five runs: $fresh."
  echo "<!-- measured: end -->"
} >"$runs/table.md"

page=docs/PERFORMANCE.md
awk -v table="$runs/table.md" '
  /<!-- measured: begin/ { while ((getline line < table) > 0) print line; skip = 1; next }
  /<!-- measured: end -->/ { skip = 0; next }
  !skip { print }' "$page" >"$runs/page.md"
cp "$runs/page.md" "$page"
cat "$runs/table.md"
