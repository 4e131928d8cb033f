#!/usr/bin/env bash
# Configures and builds PLANORA into build/ (two jobs: the machine has two cores).
# ccache, when installed, is used so that rebuilds in several checkouts share work.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j "${PLANORA_JOBS:-2}"
