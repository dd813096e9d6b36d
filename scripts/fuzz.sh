#!/usr/bin/env bash
# Fuzzes the .bwd reader for a bounded time: scripts/fuzz.sh [SECONDS] (default 60).
# Builds only the core and the fuzzer with clang in build-fuzz/, seeds the corpus with valid
# documents, and exits non-zero on a crash, a sanitizer report or a broken promise.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINDWISE_FUZZ=ON \
  -DBINDWISE_GUI=OFF -DBINDWISE_TESTS=OFF -DBINDWISE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_bwd_reader fuzz_bwd_seeds

seeds="$build/fuzz-seeds"
corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/fuzz/fuzz_bwd_seeds" "$seeds"
# Bundled examples and inputs that once broke the reader (kept as regression seeds).
for f in examples/*.bwd fuzz/regressions/*.bwd; do
  if [ -f "$f" ]; then cp -f "$f" "$seeds/"; fi
done

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
"$build/fuzz/fuzz_bwd_reader" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" || status=$?
if [ "$status" -ne 0 ]; then
  echo "Fuzzing the document reader FAILED (status $status); reproducer in $artifacts/" >&2
  exit 1
fi
echo "Fuzzing the document reader: no crash in ${seconds} s."
