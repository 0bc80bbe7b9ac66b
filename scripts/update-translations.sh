#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings translations/marrowind_de.ts up to the texts of the windows (Qt's lupdate over
# viewer/core and viewer/app); the German of a new text is then written in it, with Qt Linguist
# or by hand. With --check it changes nothing, and fails when the file is not up to date or a text
# has no German: the test command runs it so.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
ts=$root/translations/marrowind_de.ts

update() {
  (cd "$root" && "$lupdate" -silent -locations none -no-obsolete -target-language de \
    -tr-function-alias translate+=Tr,translate+=QTr -extensions cpp,h \
    viewer/core viewer/app -ts "$1")
}

if [ "${1:-}" != --check ]; then
  update "$ts"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/marrowind_de.ts"
update "$work/marrowind_de.ts"
if ! cmp -s "$ts" "$work/marrowind_de.ts"; then
  diff -u "$ts" "$work/marrowind_de.ts" | head -60 >&2
  echo "translations/marrowind_de.ts differs from the texts of the sources: run scripts/update-translations.sh and translate what is new" >&2
  exit 1
fi
if grep -n -B2 'type="unfinished"' "$ts" >&2; then
  echo "the texts above have no German yet" >&2
  exit 1
fi
