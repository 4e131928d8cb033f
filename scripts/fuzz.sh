#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) into build-fuzz/ and
# runs each for a bounded time (FUZZ_SECONDS, 30 by default) from its seed
# corpus. Any crash, leak or sanitizer report fails the run; the input that
# made it is left in build-fuzz/ (crash-*, leak-*): copy it into
# tests/fuzz/found/<target>/ so that it stays a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLANORA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" >/dev/null
targets=(agcrecords settings dialect dayrecord)
cmake --build build-fuzz -j "${PLANORA_JOBS:-2}" --target "${targets[@]/#/fuzz_}"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/sanitizers/lsan.supp:print_suppressions=0"
cd build-fuzz
for target in "${targets[@]}"; do
  work="corpus-$target"
  mkdir -p "$work"
  echo "== fuzz_$target: ${seconds} s"
  ./tests/fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 "$work" "../tests/fuzz/corpus/$target" 2>"fuzz_$target.log" \
    || { tail -60 "fuzz_$target.log"; exit 1; }
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' "fuzz_$target.log" || true
  echo "corpus: $(ls "$work" | wc -l) inputs"
done
