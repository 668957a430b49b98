#!/usr/bin/env bash
# The fuzzing stage of the tests: builds the libFuzzer targets with clang, replays the
# committed seeds, then fuzzes every target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps

echo "== fuzz targets: seed replay and a short run"
scripts/fuzz.sh --replay
scripts/fuzz.sh 5
