#!/usr/bin/env bash
# Takes the screenshots of the README's user guide under Xvfb, from the bundled example
# examples/two-sites-chelator.bwd: the main window after a fit, the window comparing two
# simulated curves with the points, and the printed report. Writes docs/*.png.
# The fit and the simulations are made with bindwise-cli from the values the examples README
# gives, so the pictures show what a user following the guide sees.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}" xvfb xauth imagemagick xdotool

build="${BINDWISE_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINDWISE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bindwise bindwise-cli
cli="$build/cli/bindwise-cli"
gui="$build/app/bindwise"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
example=two-sites-chelator.bwd

# The fit command line and the table of true and start values of the example's README section.
section="$(awk -v head="## $example" '$0 == head {on = 1; next} /^## / {on = 0} on' examples/README.md)"
fit_args="$(grep -m1 "bindwise-cli fit examples/$example" <<<"$section" | sed "s|.*examples/$example ||")"
column() { awk -F' [|] ' -v c="$1" '/^[|] [0-9]+ [|]/ {printf "%s%s", sep, $c; sep = ","}' <<<"$section"; }
true_values="$(column 3)"
start_values="$(column 4)"
model="$(sed 's/.*--model \([0-9]*\).*/\1/' <<<"$fit_args")"
start_ca="$(sed 's/.*--start-ca \([0-9.]*\).*/\1/' <<<"$fit_args")"

mkdir -p "$work/fit" "$work/simulations"
# shellcheck disable=SC2086  # the README's options are words
"$cli" fit "examples/$example" $fit_args --save "$work/fit/$example" >/dev/null
"$cli" simulate "examples/$example" --model "$model" --values "$start_values" --start-ca "$start_ca" \
  --save "$work/simulations/$example" >/dev/null
"$cli" simulate "$work/simulations/$example" --model "$model" --values "$true_values" --start-ca "$start_ca" \
  --save "$work/simulations/$example" >/dev/null

mkdir -p docs
"$cli" report "$work/fit/$example" --png docs/report.png --dpi 100

# The fit with the two simulated curves beside it, for the pictures of the whole window.
mkdir -p "$work/both"
"$cli" simulate "$work/fit/$example" --model "$model" --values "$start_values" --start-ca "$start_ca" \
  --save "$work/both/$example" >/dev/null
"$cli" simulate "$work/both/$example" --model "$model" --values "$true_values" --start-ca "$start_ca" \
  --save "$work/both/$example" >/dev/null

# One program run per picture, on a screen of its own: the window fills the screen (its
# remembered size is the screen's, in the desktop's logical pixels), then the screen is grabbed.
shoot() {
  local document="$1" picture="$2" width="$3" height="$4" scale="${5:-1}"
  rm -rf "$work/config"
  mkdir -p "$work/config"
  printf '[Window]\nWidth=%d\nHeight=%d\nMaximized=0\n' $((width / scale)) $((height / scale)) \
    >"$work/config/Bindwise.conf"
  HOME="$work" XDG_CONFIG_HOME="$work/config" GDK_SCALE="$scale" timeout -k 5 60 \
    xvfb-run -a -s "-screen 0 ${width}x${height}x24" bash -c '
      "$0" "$1" & program=$!
      xdotool search --sync --onlyvisible --class "^bindwise$" >/dev/null
      sleep 3
      import -window root "$2"
      kill "$program"' "$gui" "$document" "$picture"
}
shoot "$work/both/$example" docs/main-window-1920x1080.png 1920 1080
shoot "$work/both/$example" docs/main-window-2560x1440-scale2.png 2560 1440 2
shoot "$work/fit/$example" docs/main-window-1024x768.png 1024 768
shoot "$work/simulations/$example" docs/simulations.png 1024 768
echo "Wrote docs/main-window-*.png, docs/simulations.png and docs/report.png"
