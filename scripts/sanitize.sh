#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/
# and runs the unit suites and the GUI suites (under Xvfb) there: scripts/sanitize.sh.
# Any sanitizer report fails its test. Leaks are checked too; tests/lsan.supp names the
# only leaks let through, the font and toolkit libraries' own caches.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}" "${BINDWISE_TEST_PACKAGES[@]}"
ensure_comma_locale

build=build-sanitize
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINDWISE_SANITIZE=ON -DBINDWISE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
(cd "$build" && ctest --output-on-failure -LE gui -j"$(nproc)") || status=1
export XDG_CONFIG_HOME
XDG_CONFIG_HOME="$(mktemp -d)"
(cd "$build" && timeout -k 10 2400 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -L gui) || status=1
[ "$status" -eq 0 ] && echo "Sanitized test stages passed." || echo "Some sanitized test stage FAILED."
exit "$status"
