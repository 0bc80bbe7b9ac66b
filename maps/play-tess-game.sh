#!/usr/bin/env bash
# Plays ten turns of a war on the Isles of Tess and records them into a game file: each turn is a
# replay of clicks on the start position or the turn before (Marrowind --replay), saved as a
# position file and appended with its label (Marrowind --record). The game shows what the History
# window and the Trends chart are for; the README's picture of them is made from it.
# Usage: play-tess-game.sh MARROWIND GAME.mwgame
set -euo pipefail
marrowind=$1
game=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The replays start from the program's defaults, whatever the user set.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
rm -f "$game"

# The pieces picked from the ToolBar (small pieces: cells of 15 x 10), by name.
declare -A column=([Ctrl]=0 [Inf]=1 [Art]=2 [Tank]=3 [Ftr]=4 [Eng]=6 [Dst]=9 [Trn]=13)
# The label points of the sectors fought over, in map pixels.
declare -A at=([Greyspire]="230 508" [Lusk]="495 323" [Harrowgate]="285 408"
               [Dunmoor]="405 428" [Galewood]="175 438" [Ashfall]="610 378"
               [EmberGate]="720 458" [OrrinFlats]="845 438" [Sarnhold]="895 323"
               [Cinderfall]="995 293" [SarnWells]="785 373" [VelkSteppe]="1080 363"
               [Juniper]="970 553" [Coralgate]="195 668")

# One turn: "LABEL" then moves "PIECE COUNTRY SECTOR" (a piece of a country placed there; a
# control marker takes the sector).
turn=0
previous=
play() {
  local label=$1
  shift
  turn=$((turn + 1))
  local script=$work/turn$turn.txt position=$work/turn$turn.QPX
  : >"$script"
  while [ $# -gt 0 ]; do
    read -r piece country sector <<<"$1"
    shift
    echo "palette $((column[$piece] * 15 + 7)) $(((country - 1) * 10 + 5))" >>"$script"
    echo "press left ${at[$sector]}" >>"$script"
    echo "release left ${at[$sector]}" >>"$script"
    echo "key Escape" >>"$script"
  done
  printf 'dialog %s\ncommand 103\n' "$position" >>"$script"
  "$marrowind" --replay "$script" $previous >/dev/null
  "$marrowind" --record "$game" "$position" "$label" >/dev/null
  previous=$position
}

play "The armies stand"
play "Valdria lands at Ashfall" "Eng 1 Ashfall" "Ctrl 1 Ashfall" "Inf 1 Ashfall"
play "Sarnesh takes Greyspire" "Ctrl 4 Greyspire" "Tank 4 Greyspire" "Ctrl 4 Ashfall"
play "Qimara crosses to Lusk" "Ctrl 5 Lusk" "Inf 5 Lusk" "Inf 5 Lusk"
play "Osmark strikes east" "Ctrl 2 Lusk" "Ctrl 2 EmberGate" "Art 2 EmberGate"
play "Tolvane in Harrowgate" "Ctrl 6 Harrowgate" "Ctrl 6 Dunmoor" "Tank 6 Dunmoor"
play "Ketterholm answers" "Ctrl 3 Harrowgate" "Ctrl 3 OrrinFlats" "Inf 3 OrrinFlats"
play "Pellucia raids Galewood" "Ctrl 8 Galewood" "Inf 8 Galewood" "Ctrl 7 Juniper"
play "Sarnhold falls" "Ctrl 1 Sarnhold" "Ctrl 1 Cinderfall" "Tank 1 Sarnhold" "Ctrl 1 Greyspire"
play "The Compact at the wells" "Ctrl 2 SarnWells" "Ctrl 3 VelkSteppe" "Eng 3 Ashfall" \
  "Ctrl 3 Ashfall" "Ctrl 8 Coralgate"
"$marrowind" --turns "$game"
