#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build needs (Debian packages, only those missing), checks that every source
# file is formatted as .clang-format says, then builds and runs every test three ways: an optimised
# (Release) build with g++ (benchmarks compiled too), a short run of every fuzz target (clang,
# libFuzzer), and the whole test suite again in a Release build with clang under AddressSanitizer
# and UndefinedBehaviorSanitizer. Every build treats warnings as errors, so both compilers and the
# optimiser find nothing to warn of. Each stage says how long it took; the whole takes about 15
# minutes on an idle 2-core machine.
# Usage: bash scripts/test.sh            every stage, as CI runs it
#        bash scripts/test.sh --quick    one build (build/) and its tests: the everyday check
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages
jobs=$(nproc)

# Each stage is named when it starts and timed when the next one starts, or the run ends.
started=$SECONDS
stage_name=
stage_start=$SECONDS
stage() {
  [ -n "$stage_name" ] && echo "   ($stage_name took $((SECONDS - stage_start)) s)"
  stage_name=$1
  stage_start=$SECONDS
  [ -n "$1" ] && echo "== $1"
  return 0
}
trap 'stage ""; echo "== all stages took $((SECONDS - started)) s"' EXIT

if [ "${1:-}" = "--quick" ]; then
  stage "build and tests (build/, RelWithDebInfo, warnings are errors)"
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWIND_WERROR=ON \
    -DMARROWIND_TESTS=ON
  cmake --build build --parallel "$jobs"
  ctest --test-dir build --output-on-failure --parallel "$jobs"
  exit 0
fi

stage "formatting (clang-format --style=file)"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if ! clang-format --dry-run -Werror --style=file "${sources[@]}" 2>"${TMPDIR:-/tmp}/format-$$.log"; then
  grep -E '^[^ ].*(warning|error):' "${TMPDIR:-/tmp}/format-$$.log" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  rm -f "${TMPDIR:-/tmp}/format-$$.log"
# Every source names its licence in its first lines.
mapfile -t unlicensed < <(git ls-files '*.cpp' '*.h' '*.c' '*.sh' '*.py' '*.cmake' 'CMakeLists.txt' \
  '*/CMakeLists.txt' 2>/dev/null | while read -r f; do
  head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || echo "$f"; done)
if [ ${#unlicensed[@]} -gt 0 ]; then
  printf 'no SPDX-License-Identifier line: %s\n' "${unlicensed[@]}"
  exit 1
fi
  echo "run: clang-format -i --style=file <file>"
  exit 1
fi
rm -f "${TMPDIR:-/tmp}/format-$$.log"

stage "optimised build and tests with g++ (warnings are errors)"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARROWIND_BENCH=ON \
  -DMARROWIND_WERROR=ON -DMARROWIND_TESTS=ON
cmake --build build-release --parallel "$jobs"
ctest --test-dir build-release --output-on-failure --parallel "$jobs"

stage "fuzz targets, ${FUZZ_SECONDS:-5} seconds each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARROWIND_GUI=OFF -DMARROWIND_TESTS=OFF -DMARROWIND_FUZZ=ON -DMARROWIND_WERROR=ON
cmake --build build-fuzz --parallel "$jobs"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"; stage ""; echo "== all stages took $((SECONDS - started)) s"' EXIT
for fuzzer in build-fuzz/bin/fuzz_*; do
  name=${fuzzer##*/fuzz_}
  mkdir -p "$corpus/$name"
  "$fuzzer" -max_total_time="${FUZZ_SECONDS:-5}" -rss_limit_mb=2048 -max_len=70000 \
    -artifact_prefix="$corpus/" "$corpus/$name" "build-fuzz/fuzz-seeds/$name" 2>"$corpus/$name.log" ||
    { tail -n 40 "$corpus/$name.log"; echo "fuzz target $name failed"; exit 1; }
  grep -E '^Done [0-9]+ runs' "$corpus/$name.log" | sed "s/^/fuzz_$name: /"
done

stage "optimised build and tests with clang under AddressSanitizer and UndefinedBehaviorSanitizer"
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMARROWIND_SANITIZE=ON -DMARROWIND_WERROR=ON
cmake --build build-asan --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$jobs"
