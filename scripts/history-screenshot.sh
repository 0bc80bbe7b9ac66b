#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes docs/history.png and docs/replay.png again: the game of maps/play-tess-game.sh opened in
# Marrowind on a virtual screen with a window manager, its History window beside the Trends chart,
# then a move of turn 9 replayed.
# Usage: scripts/history-screenshot.sh [BUILD_DIR]   (run from the source folder, as root the
# first time: it installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source scripts/deps.sh
MARROWIND_PACKAGES+=(x11-apps netpbm)
install_missing_packages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash maps/play-tess-game.sh "$build/bin/Marrowind" "$work/Tess war.mwgame" >/dev/null

cat >"$work/shoot.sh" <<'EOF'
set -eu
export HOME=$1/home XDG_CONFIG_HOME=$1/home/config XDG_STATE_HOME=$1/home/state
"$2" "$1/Tess war.mwgame" &
app=$!
window() { xdotool search --sync --onlyvisible --name "^$1\$" | head -n1; }
# With a game open the title names the game and the turn before the program's name.
main=$(window ".*Brom's TessMapView")
history=$(window History)
sleep 1
# The Trends chart from the menu, as a user opens it: Alt+V, then T.
xdotool windowactivate --sync "$main" key alt+v key t
trends=$(window Trends)
sleep 1
xdotool windowsize "$history" 760 470 windowmove "$history" 20 590
xdotool windowsize "$trends" 860 520 windowmove "$trends" 1040 540
# Turn 9 chosen in the History window: its comparison with turn 8 is on the map.
xdotool windowactivate --sync "$history" key alt+Left
changes=$(window Changes)
xdotool windowsize "$changes" 620 200 windowmove "$changes" 1280 300
xdotool windowactivate --sync "$history"
sleep 2
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1/shot.png"
kill "$app"
wait "$app" || true
# Turn 9 again, its fifth move replayed from the keyboard: Sarnesh's tank to Harrowgate.
"$2" "$1/Tess war.mwgame:9" &
app=$!
main=$(window ".*Brom's TessMapView")
history=$(window History)
sleep 1
xdotool windowsize "$history" 640 420 windowmove "$history" 760 470
xdotool windowactivate --sync "$main"
# Ctrl+Shift+Right: openbox, like many desktops, switches workspaces on Ctrl+Alt+Right.
for move in 1 2 3 4 5; do xdotool key ctrl+shift+Right; sleep 0.3; done
sleep 2
# The map's west and the History window, at full size.
xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left 0 -top 0 -width 1400 -height 900 |
  pnmtopng >"$1/replay.png"
kill "$app"
EOF
bash tests/app/with-window-manager.sh bash "$work/shoot.sh" "$work" "$PWD/$build/bin/Marrowind"
cp "$work/shot.png" docs/history.png
cp "$work/replay.png" docs/replay.png
echo "wrote docs/history.png and docs/replay.png"
