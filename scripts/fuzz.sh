#!/usr/bin/env bash
# Fuzzes for a bounded time: scripts/fuzz.sh [SECONDS] [TARGET...] (default 60 s for each of
# bwd_reader, paste and import, one after another). Builds the core and the fuzzers with clang
# in build-fuzz/, seeds each corpus from fuzz/seeds, fuzz/regressions and valid documents, and
# exits non-zero on a crash, a sanitizer report or a broken promise. The corpus each run grows
# stays in build-fuzz/corpus-TARGET for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(bwd_reader paste import)
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINDWISE_FUZZ=ON \
  -DBINDWISE_GUI=OFF -DBINDWISE_TESTS=OFF -DBINDWISE_BENCH=OFF >/dev/null
build_targets=(fuzz_bwd_seeds)
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j"$(nproc)" --target "${build_targets[@]}"

seed_folder() {  # TARGET -> a folder of seeds, filled afresh
  local seeds="$build/seeds-$1"
  rm -rf "$seeds"
  mkdir -p "$seeds"
  case "$1" in
    bwd_reader)
      "$build/fuzz/fuzz_bwd_seeds" "$seeds"
      # Bundled examples and inputs that once broke the reader or what follows it.
      for f in examples/*.bwd fuzz/regressions/*.bwd; do
        if [ -f "$f" ]; then cp -f "$f" "$seeds/"; fi
      done ;;
    *) cp -f fuzz/seeds/"$1"/* "$seeds/" ;;
  esac
  echo "$seeds"
}

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
failed=0
for t in "${targets[@]}"; do
  seeds="$(seed_folder "$t")"
  corpus="$build/corpus-$t"
  artifacts="$build/artifacts-$t"
  mkdir -p "$corpus" "$artifacts"
  status=0
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "Fuzzing $t FAILED (status $status); reproducer in $artifacts/" >&2
    failed=1
  else
    echo "Fuzzing $t: no finding in ${seconds} s."
  fi
done
exit "$failed"
