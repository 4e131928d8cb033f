#!/usr/bin/env bash
# Builds the whole tree a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs every test there; any
# report ends the test that made it. Leaks inside Qt's and the system's own
# libraries are listed, by function, in tests/sanitizers/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPLANORA_SANITIZE=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" >/dev/null
cmake --build build-asan -j "${PLANORA_JOBS:-2}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/sanitizers/lsan.supp:print_suppressions=0"
cd build-asan
ctest --output-on-failure -j 2
