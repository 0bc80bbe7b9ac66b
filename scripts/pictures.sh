#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes every picture of docs/ again from the current build, the window's under a virtual screen
# with a window manager: the History and the replayed move (history-screenshot.sh), the German
# window (german-screenshot.sh), and here the window placing pieces, a comparison, pieces
# following the zoom and the sectors drawn over the map. The AppStream screenshots are the
# History's and the replayed move's.
# Usage: scripts/pictures.sh [BUILD_DIR]   (run from the source folder, as root the first time: it
# installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source scripts/deps.sh
MARROWIND_PACKAGES+=(scrot netpbm x11-apps)
install_missing_packages
marrowind=$PWD/$build/bin/Marrowind
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_STATE_HOME=$work/home/state

bash scripts/history-screenshot.sh "$build"
bash scripts/german-screenshot.sh "$build"

# The sectors of the Isles of Tess as "Show Sectors" draws them.
"$marrowind" --render docs/sectors.png --sectors
echo "wrote docs/sectors.png"

# A turn compared with the start: country 1 moves four infantry from Valdhaven to Amberlea,
# country 2 takes Greyspire with a marker and artillery, country 5 loses a transport.
cat >"$work/turn.txt" <<SCRIPT
press left 127 301 ctrl shift
move 232 300
release left 232 300
palette 7 15
press left 240 505
release left 240 505
palette 37 15
press left 255 510
release left 255 510
key Escape
press middle 1134 496
dialog $work/turn.QPX
command 103
SCRIPT
"$marrowind" --replay "$work/turn.txt" >/dev/null
printf 'dialog %s\ncommand 140\nshot %s\n' "$PWD/$build/bin/Tess.gim/Start.QPX" \
  "$PWD/docs/compare.png" >"$work/compare.txt"
"$marrowind" --replay "$work/compare.txt" "$work/turn.QPX" >/dev/null
echo "wrote docs/compare.png"

# Part of the map at 200 %, the pieces following the zoom.
{
  printf 'command 151\nresize 1000 600\n'
  for step in 1 2 3 4 5 6 7 8 9 10; do printf 'wheel 300 420 0 120 ctrl\n'; done
  printf 'shot %s\n' "$PWD/docs/follow-zoom.png"
} >"$work/zoom.txt"
"$marrowind" --replay "$work/zoom.txt" >/dev/null
echo "wrote docs/follow-zoom.png"

# The window placing a piece: the ToolBar, the InfoView and the status bar.
cat >"$work/shoot.sh" <<'SHOOT'
set -eu
"$2" &
app=$!
main=$(xdotool search --sync --onlyvisible --name "TessMapView" | head -n1)
sleep 1
xdotool windowactivate --sync "$main"
palette=$(xdotool search --onlyvisible --name "^ToolBar$" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$palette")"
xdotool mousemove $((X + 22)) $((Y + 5)) click 1
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 560)) $((Y + 420))
sleep 2
scrot -o "$1/screen.png"
pngtopnm "$1/screen.png" | pnmcut -left 0 -top 0 -width 1920 -height 870 | pnmtopng >"$1/shot.png"
kill "$app"
SHOOT
bash tests/app/with-window-manager.sh bash "$work/shoot.sh" "$work" "$marrowind"
cp "$work/shot.png" docs/screenshot.png
echo "wrote docs/screenshot.png"
