#!/usr/bin/env bash
# Configures and builds PLANORA into build/ (two jobs: the machine has two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${PLANORA_JOBS:-2}"
