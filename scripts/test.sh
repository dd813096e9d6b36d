#!/usr/bin/env bash
# Installs what is missing, builds everything from scratch in build-test/ and runs every
# test: the unit suites, the GUI suites under Xvfb, a short fuzzing run of each fuzz target
# and a short monkey test of the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}" "${BINDWISE_TEST_PACKAGES[@]}"
ensure_comma_locale

build=build-test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

status=0
(cd "$build" && ctest --output-on-failure -LE gui -j"$(nproc)") || status=1
if [ -f "$build/tests/gui/CTestTestfile.cmake" ] && grep -q add_test "$build/tests/gui/CTestTestfile.cmake"; then
  export XDG_CONFIG_HOME
  XDG_CONFIG_HOME="$(mktemp -d)"
  (cd "$build" && timeout -k 10 1200 xvfb-run -a -s "-screen 0 1280x1024x24" \
      ctest --output-on-failure -L gui) || status=1
fi
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh 10 || status=1
fi
if [ -x "$build/app/bindwise" ]; then
  scripts/monkey.sh 60 "${BINDWISE_MONKEY_SEED:-$(date +%s)}" "$build" || status=1
fi
[ "$status" -eq 0 ] && echo "All test stages passed." || echo "Some test stage FAILED."
exit "$status"
