#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays ten turns of a war on the Isles of Tess and records them into a game file with their moves:
# each turn is a replay of clicks on the game's last turn (Marrowind --replay) that ends with
# "&Record Turn" under the turn's label. The game shows what the History window, its replay of
# moves and the Trends chart are for; the pictures of them in docs/ are made from it.
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

# Where a piece stands in a sector: a control marker on its label point, an army beside it.
point() {
  read -r x y <<<"${at[$2]}"
  if [ "$1" = Ctrl ]; then echo "$x $y"; else echo "$((x + 16)) $((y + 12))"; fi
}

# One turn: "LABEL" then moves: "PIECE COUNTRY SECTOR" places a piece of a country there (a
# control marker takes the sector); "PIECE COUNTRY FROM>TO" moves that army's whole stack.
first=1
play() {
  local label=$1 piece country sector script
  shift
  script=$work/turn.txt
  : >"$script"
  while [ $# -gt 0 ]; do
    read -r piece country sector <<<"$1"
    shift
    if [[ $sector == *">"* ]]; then
      echo "press left $(point "$piece" "${sector%>*}") ctrl shift" >>"$script"
      echo "move $(point "$piece" "${sector#*>}")" >>"$script"
      echo "release left $(point "$piece" "${sector#*>}")" >>"$script"
    else
      echo "palette $((column[$piece] * 15 + 7)) $(((country - 1) * 10 + 5))" >>"$script"
      echo "press left $(point "$piece" "$sector")" >>"$script"
      echo "release left $(point "$piece" "$sector")" >>"$script"
      echo "key Escape" >>"$script"
    fi
  done
  # The first turn makes the game, in the file the dialog names; the others go on from its last.
  printf 'dialog %s\nlabel %s\ncommand 142\n' "$game" "$label" >>"$script"
  if [ $first = 1 ]; then
    "$marrowind" --replay "$script" >/dev/null
  else
    "$marrowind" --replay "$script" "$game" >/dev/null
  fi
  first=0
}

play "The armies stand"
play "Valdria lands at Ashfall" "Eng 1 Ashfall" "Ctrl 1 Ashfall" "Inf 1 Ashfall"
play "Sarnesh takes Greyspire" "Ctrl 4 Greyspire" "Tank 4 Greyspire" "Ctrl 4 Ashfall"
play "Qimara crosses to Lusk" "Ctrl 5 Lusk" "Inf 5 Lusk" "Inf 5 Lusk"
play "Osmark strikes east" "Ctrl 2 Lusk" "Ctrl 2 EmberGate" "Art 2 EmberGate" \
  "Inf 5 Lusk>Ashfall"
play "Tolvane in Harrowgate" "Ctrl 6 Harrowgate" "Ctrl 6 Dunmoor" "Tank 6 Dunmoor"
play "Ketterholm answers" "Ctrl 3 Harrowgate" "Ctrl 3 OrrinFlats" "Inf 3 OrrinFlats"
play "Pellucia raids Galewood" "Ctrl 8 Galewood" "Inf 8 Galewood" "Ctrl 7 Juniper"
play "Sarnhold falls" "Ctrl 1 Sarnhold" "Ctrl 1 Cinderfall" "Tank 1 Sarnhold" "Ctrl 1 Greyspire" \
  "Tank 4 Greyspire>Harrowgate" "Eng 1 Ashfall>Sarnhold"
play "The Compact at the wells" "Ctrl 2 SarnWells" "Ctrl 3 VelkSteppe" "Eng 3 Ashfall" \
  "Ctrl 3 Ashfall" "Ctrl 8 Coralgate"
"$marrowind" --turns "$game"
