#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks, runs each of them five times with its floor in the same run, the runs of
# all the benchmarks of a program shuffled among each other, and writes docs/PERFORMANCE.md whole:
# every figure, ratio and verdict on the page comes from this run, and its words from this
# script, so that no sentence of the page can disagree with its table. Takes about twenty
# minutes; the big map package (400 MB) is written to <temp>/marrowind-bigmap on the first run.
# Usage: bash bench/measure.sh [benchmark options, e.g. --benchmark_min_time=1]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWIND_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target marrowind_bench marrowind_bigmap_bench marrowind_game_bench Marrowind

runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT
repetitions=5
options=("--benchmark_min_time=0.1" "--benchmark_repetitions=$repetitions"
  "--benchmark_enable_random_interleaving=true" "$@")
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
# The window's memory with a game of 1,000 turns open, against the same with its last turn's
# position file open: the peak of a process that opens it and paints once.
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
gamedir="${TMPDIR:-/tmp}/marrowind-game"
echo "print title" >"$runs/title.txt"
game_peak=$(peak_kib build/bench/stress/Marrowind --replay "$runs/title.txt" "$gamedir/war-1000x10k-schema4-settled.mwgame" || echo 0)
build/bin/Marrowind --extract "$gamedir/war-1000x10k-schema4-settled.mwgame" 1000 "$runs/turn1000.QPX" >/dev/null
position_peak=$(peak_kib build/bench/stress/Marrowind --replay "$runs/title.txt" "$runs/turn1000.QPX" || echo 0)

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
# A goal is the most the ratio may be ("≤ 3", "< 1"), or "—" where the row only informs.
rows() {
  cat <<'ROWS'
`LoadMapPackage` of the stress package, its grid and picture changed since the last load|LoadMapPackage|reading the package's small files from the page cache into memory touched before, the picture's headers, and the grid mapped and read under each stack|LoadMapPackageFloor|≤ 3
composing the whole picture in bands of 256 rows, as `--render` does, zoom 1.0|RedrawMapRegion/0|one copy of a picture of that size into memory touched before|RedrawMapRegionFloor/0|≤ 5
the same, zoom 2.0|RedrawMapRegion/10|the same|RedrawMapRegionFloor/10|≤ 5
`LoadPosition`, 1,000 stacks|LoadPosition/1000|reading the same bytes from the page cache into memory touched before|LoadPositionFloor/1000|—
`LoadPosition`, 10,000 stacks|LoadPosition/10000|the same|LoadPositionFloor/10000|—
`LoadPosition`, 100,000 stacks (2.4 MB)|LoadPosition/100000|the same|LoadPositionFloor/100000|≤ 3
`LoadPosition`, 1,000,000 stacks (24 MB)|LoadPosition/1000000|the same|LoadPositionFloor/1000000|—
`LoadPosition`, 100,000 stacks, against decoding alone|LoadPosition/100000|the same read, then each record's fields decoded into one array of records|LoadPositionDecodeFloor/100000|—
`LoadPosition`, 1,000,000 stacks, against decoding alone|LoadPosition/1000000|the same|LoadPositionDecodeFloor/1000000|—
`Marrowind --totals`, 1,000,000 stacks, beyond the same run on the start position|TotalsProcess/1-TotalsProcess/0|a C program (`bench/totals_floor.c`) mapping the grid and the position, giving each stack its sector and summing its pieces|TotalsFloor|≤ 4
`SavePosition`, 100,000 stacks|SavePosition|writing the same bytes into a new file, flushing it, renaming it over the target and flushing the folder|SavePositionFloor/2|≤ 1.5
`RecoveryCopyTick`, 100,000 stacks: what the window waits for at a recovery copy (the write runs beside it)|RecoveryCopyTick|–|–|—
`pal2sect`, 4096 × 3072, as a process|Tool/0|`cp` of the input and writing the output's bytes, flushed|ToolFloor/0|≤ 2
`rgb2sect`, 4096 × 3072, as a process|Tool/1|the same|ToolFloor/1|≤ 2
`vorn`, 511 lines, as a process|Tool/2|the same|ToolFloor/2|≤ 2
loading the big package (10,000 × 8,000) with the first paint|LoadPackage/1|mapping its files from the page cache, turning the pixels of the map area shown into 32-bit pixels in fresh memory and giving every stack of the position the sector under it|LoadPackageFloor/1|≤ 2
the same against the Isles of Tess (1,200 × 800): the first picture of a big map as fast as a small one|LoadPackage/1|loading the Isles of Tess with the first paint|LoadPackage/0|≤ 2
loading the Isles of Tess with the first paint|LoadPackage/0|the same least work on the Isles, as above|LoadPackageFloor/0|—
a zoom step on the big map, 1.6 to 1.7 and back, with its repaint|ZoomStep/1|the same on the Isles of Tess|ZoomStep/0|≤ 2
the same zoom step in the real window (offscreen, 1920 × 1080), key to painted window, big map|ZoomStepWindow/1/6|the composition it needs: the zoom step above|ZoomStep/1|≤ 2
the same, Isles of Tess|ZoomStepWindow/0/6|the same on the Isles of Tess|ZoomStep/0|≤ 2
the same under Xvfb with openbox, big map|X:ZoomStepWindow/1/6|the same, composed in the same run|X:ZoomStep/1|≤ 2
the same under Xvfb with openbox, Isles of Tess|X:ZoomStepWindow/0/6|the same|X:ZoomStep/0|≤ 2
a zoom step 1.0 to 1.1 on the Isles of Tess under Xvfb with openbox, where the window's size follows the picture|X:ZoomStepWindow/0/0|–|–|—
composing the map area afresh at zoom 1.0, big map: the picture, every stack in view and its count|Compose/1/10|a least-work composition of the same view in plain loops: each pixel from the source pixel under it (rows copied whole at zoom 1.0), each stack's cell copied, each count's digits blended from glyphs drawn before|ComposeFloor/1/10|≤ 3
the same at zoom 1.5, big map|Compose/1/15|the same|ComposeFloor/1/15|≤ 3
the same at zoom 2.0, big map|Compose/1/20|the same|ComposeFloor/1/20|≤ 3
the same at zoom 1.0, Isles of Tess|Compose/0/10|the same|ComposeFloor/0/10|≤ 3
the same at zoom 1.5, Isles of Tess|Compose/0/15|the same|ComposeFloor/0/15|≤ 3
the same at zoom 2.0, Isles of Tess|Compose/0/20|the same|ComposeFloor/0/20|≤ 3
a scroll of 100 pixels on the big map, with what comes into view composed|Scroll100/1|the same on the Isles of Tess|Scroll100/0|≤ 2
placing a piece and undoing it on the big map, with both repaints|EditWithRedraw/1|the same on the Isles of Tess|EditWithRedraw/0|≤ 2
`Marrowind --diff` of two positions of 100,000 stacks on the big map, as a process|DiffProcess/1|`Marrowind --totals` of one of them, as a process|DiffProcess/0|≤ 1.5
comparing those two positions, as `--diff` does beyond its loads|ComparePositions|loading both positions|ComparePositionsFloor|—
reading turn 500 of a game of 1,000 turns of 10,000 stacks (240 MB), with its sectors and totals|GameReadTurn|loading the same position from its own file, with its sectors and totals|GameLoadPosition|≤ 2
opening that game in the window at its last turn, to its first paint: the turn on the board (its comparison with the turn before, the list of turns and their totals follow the paint), the processor's caches emptied before each run, as a player's desktop leaves them|GameOpenInWindow|opening the last turn's position file in the window, its package loaded with it, the caches emptied the same way|GameOpenPositionCold|≤ 2
the same opening whole, one after another with the caches warm: the turn compared with the one before, every turn's totals for the History|GameOpenInWindowWhole|opening the last turn's position file in the window, one after another|GameOpenPosition|—
stepping to a turn of that game in the window (Alt+Left, Alt+Right), to its first paint: the turn on the board (its comparison with the turn before follows the paint)|GameStep|opening the same position's file in the window|GameOpenPosition|≤ 2
the same step against loading the position alone|GameStep|loading the position from its own file, with its sectors and totals|GameLoadPosition|≤ 2
the same step whole, compared with the turn before|GameStepWhole|opening the same position's file in the window|GameOpenPosition|—
opening the game file and listing its turns|GameOpenFile|the same|GameLoadPosition|—
every turn's totals, which the History window and the Trends chart show, as the game stores them|GameFigures|the same|GameLoadPosition|—
recording a turn of 10,000 stacks as `--record` does (the game opened, the turn it was made from looked for, the turn committed to the disk) into the game of 1,000 turns|GameRecord/1|the same into a game of its own|GameRecord/0|≤ 1.3
the Trends chart of the 1,000 turns and 8 countries, made and drawn at 800 × 500|GameChart|loading one position, as above|GameLoadPosition|—
ROWS
}

cat "$runs/stress.csv" "$runs/big.csv" "$runs/game.csv" "$runs/x.csv" >"$runs/all.csv"
{
  echo "# Performance"
  echo
  echo "<!-- Written whole by bench/measure.sh: edit the script, not this page. -->"
  echo
  echo "Every figure below stands beside its floor, the least work that does the same job, measured in"
  echo "the same run: each benchmark ran $repetitions times, its runs shuffled among those of every other"
  echo "benchmark of its program, and a ratio is the median of the ratios of its runs, the least and the"
  echo "greatest of them beside it. Each floor says what work it does, so that no cost hides behind a"
  echo "floor that pays it too. A goal is the most the ratio may be; the last column says whether this"
  echo "run met it. The page is written whole, every figure, ratio and verdict of it from this run, by"
  echo
  echo '```sh'
  echo "bash bench/measure.sh"
  echo '```'
  echo
  echo "Run it again whenever a change touches a measured path, and commit the page with the change."
  echo
  echo "The stress package (\`build/bench/stress\`, written by the build, neither installed nor"
  echo "committed) is a map of 4096 × 3072 pixels with 511 sectors in tiles of 128 × 192 with one-pixel"
  echo "borders, every income rule in use, 8 countries in 3 alliances, and positions of 1,000, 10,000,"
  echo "100,000 and 1,000,000 stacks; beside it the tools' inputs. The big map"
  echo "(\`marrowind_bigmap_bench\`) is generated: 10,000 × 8,000 pixels in 400 sectors with 100,000"
  echo "stacks, seen, as the Isles of Tess (1,200 × 800) are, through the map area of a maximised window"
  echo "of 1920 × 1080. The game (\`marrowind_game_bench\`) has 1,000 turns of 10,000 stacks on the stress"
  echo "map, each moving 200 stacks, recorded as the window records them."
  echo
  echo "Measured on $(date -u +%Y-%m-%d) at commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . ':!docs' || echo ' with changes'), on $(nproc) cores of $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) of memory, $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r), transparent huge pages $(sed 's/.*\[\(.*\)\].*/\1/' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null || echo unknown), files in the page cache."
  echo
  rows | awk -F'|' -v all="$runs/all.csv" '
    function load(file,   line, f, name, ms) {
      while ((getline line < file) > 0) {
        if (line !~ /^"/) continue
        split(line, f, ",")
        name = f[1]; gsub(/"/, "", name)
        if (name ~ /_(mean|median|stddev|cv)$/) continue
        ms = f[3]
        if (f[5] == "us") ms = f[3] / 1000
        if (f[5] == "ns") ms = f[3] / 1000000
        if (f[5] == "s") ms = f[3] * 1000
        n[name]++
        t[name, n[name]] = ms
      }
    }
    # The time of one run of a row`s benchmark ("A-B": A less B, run by run).
    function run(name, i,   parts) {
      if (index(name, "-") > 1) {
        split(name, parts, "-")
        if (!((parts[1], i) in t) || !((parts[2], i) in t)) return -1
        return t[parts[1], i] - t[parts[2], i]
      }
      return ((name, i) in t) ? t[name, i] : -1
    }
    function runs(name,   parts) {
      if (index(name, "-") > 1) { split(name, parts, "-"); return n[parts[1]] < n[parts[2]] ? n[parts[1]] : n[parts[2]] }
      return n[name] + 0
    }
    function median(values, count,   i, j, x, s) {
      for (i = 1; i <= count; i++) s[i] = values[i]
      for (i = 2; i <= count; i++) { x = s[i]; for (j = i - 1; j >= 1 && s[j] > x; j--) s[j + 1] = s[j]; s[j + 1] = x }
      lo = s[1]; hi = s[count]
      return count % 2 ? s[(count + 1) / 2] : (s[count / 2] + s[count / 2 + 1]) / 2
    }
    function shown(ms) {
      if (ms < 0) return "not run"
      if (ms < 0.01) return sprintf("%.2f µs", ms * 1000)
      if (ms < 1) return sprintf("%.3f ms", ms)
      if (ms < 100) return sprintf("%.1f ms", ms)
      return sprintf("%.0f ms", ms)
    }
    BEGIN {
      load(all)
      print "| operation | time | floor | floor time | ratio (least–greatest) | goal | met |"
      print "|---|---|---|---|---|---|---|"
    }
    {
      k = runs($2); delete v; for (i = 1; i <= k; i++) v[i] = run($2, i)
      time = k > 0 ? median(v, k) : -1
      if ($4 == "–") { printf "| %s | %s | | | | %s | |\n", $1, shown(time), $5; next }
      m = runs($4); if (m < k) k = m
      delete fv; delete r
      for (i = 1; i <= runs($4); i++) fv[i] = run($4, i)
      floor = runs($4) > 0 ? median(fv, runs($4)) : -1
      count = 0
      for (i = 1; i <= k; i++) if (run($4, i) > 0 && run($2, i) >= 0) r[++count] = run($2, i) / run($4, i)
      if (count == 0 || time < 0) { printf "| %s | %s | %s | %s | – | %s | not run |\n", $1, shown(time), $3, shown(floor), $5; notrun++; next }
      ratio = median(r, count)
      # Judged as shown: two decimals below 10, one above.
      fmt = ratio < 10 ? "%.2f" : "%.1f"
      ratio = sprintf(fmt, ratio) + 0
      met = "—"
      goal = $5; bound = goal; gsub(/[^0-9.]/, "", bound)
      if (goal ~ /^≤/) met = ratio <= bound + 0 ? "yes" : "no"
      if (goal ~ /^</) met = ratio < bound + 0 ? "yes" : "no"
      if (met == "yes") kept++
      if (met == "no") { missed++; list = list sprintf("- %s: " fmt " against a goal of %s.\n", $1, ratio, goal) }
      printf "| %s | %s | %s | %s | " fmt " (" fmt "–" fmt ") | %s | %s |\n", $1, shown(time), $3, shown(floor), ratio, lo, hi, goal, met
    }
    END {
      printf "\nOf the %d goals, this run met %d", kept + missed, kept
      if (missed == 0) print "."
      else printf "; it missed %d:\n\n%s", missed, list
      if (notrun) printf "\n%d rows were not run on this machine.\n", notrun
    }'
  echo
  echo "Decoding \`Map.bmp\` as the viewer does, by size (8-bit palette, 4:3; the median of its runs):"
  echo
  echo "| megapixels | time | per megapixel |"
  echo "|---|---|---|"
  awk -F, '/^"LoadPictureOf\/[0-9]+_median"/ {
      name = $1; gsub(/"|LoadPictureOf\/|_median/, "", name)
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
  awk -v g="$game_peak" -v p="$position_peak" 'BEGIN {
    if (g > 0 && p > 0)
      printf "The window with the game of 1,000 turns open at its last turn, at its peak: %.0f MiB, against %.0f MiB with that turn'"'"'s position file open (%.2f times; goal: at most 1.2, %s).\n", g / 1024, p / 1024, g / p, g / p <= 1.2 ? "met" : "missed"
  }'
  echo
  echo "A fresh process showing the big map (\`Marrowind --replay\` printing its title after the first paint), five runs: $fresh."
} >"$runs/page.md"

cp "$runs/page.md" docs/PERFORMANCE.md
cat docs/PERFORMANCE.md
