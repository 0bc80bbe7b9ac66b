#!/usr/bin/env bash
# Installs what the build needs (Debian packages, only those missing), configures, builds and runs
# every test. Usage: bash scripts/test.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages

build=${1:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
