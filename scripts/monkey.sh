#!/usr/bin/env bash
# Monkey test: drives the desktop program under Xvfb with a seeded stream of random clicks,
# drags, keys, typed numbers, accelerators and menu walks, dismissing the dialogs it opens.
#   scripts/monkey.sh [SECONDS] [SEED] [BUILD_FOLDER]      (defaults: 60, the time, build-test)
# BINDWISE_MONKEY_KEEP=1 keeps the action list and the program's output of a passing run.
# Fails (exit 1) on a crash, a wx assertion, a sanitizer report or a hang (the program does
# not answer a window-manager ping for 10 s). GTK's own critical messages are listed at the end;
# BINDWISE_MONKEY_STRICT=1 fails on them too. A program that quits through its own menu
# is started again. The actions of a failed run are printed; the same seed replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
seconds="${1:-60}"
seed="${2:-$(date +%s)}"
build="$(cd "${3:-build-test}" && pwd)"
program="$build/app/bindwise"
[ -x "$program" ] || { echo "monkey: $program is not built" >&2; exit 2; }

if [ -z "${BINDWISE_MONKEY_INSIDE:-}" ]; then
  helper="$build/monkey_x"
  if [ ! -x "$helper" ] || [ "$root/tests/monkey/monkey_x.c" -nt "$helper" ]; then
    cc -O1 -Wall -Wextra -o "$helper" "$root/tests/monkey/monkey_x.c" -lX11
  fi
  export BINDWISE_MONKEY_INSIDE=1
  exec timeout -k 10 $((seconds + 120)) xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$seconds" "$seed" "$build"
fi

helper="$build/monkey_x"
work="$(mktemp -d)"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME" "$work/files"
cd "$work/files"  # whatever a dialog saves lands here
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export G_DEBUG="${G_DEBUG:-}"
log="$work/program.log"
actions="$work/actions.log"
RANDOM="$seed"
pid=""
main=""
starts=0
steps=0
dialogs=0

fail() {
  echo "MONKEY FAILED (seed $seed, after $steps actions, $SECONDS s): $*" >&2
  echo "--- last actions:" >&2
  tail -n 25 "$actions" >&2 || true
  echo "--- program output:" >&2
  tail -n 60 "$log" >&2 || true
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  exit 1
}

start_program() {
  "$program" >>"$log" 2>&1 &
  pid=$!
  starts=$((starts + 1))
  echo "start $starts (pid $pid)" >>"$actions"
  main=""
  for _ in $(seq 1 300); do
    main="$("$helper" list "$pid" | awk '$6 == "window" { print $1; exit }')"
    [ -n "$main" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "the main window did not appear"
}

check_program() {
  if ! kill -0 "$pid" 2>/dev/null; then
    local rc=0
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "the program ended with status $rc"
    echo "quit through its menu" >>"$actions"
    start_program
    return
  fi
  if grep -Eq "ERROR: (Address|Leak)Sanitizer|runtime error:|assert \".*\" failed|Debug Alert" "$log"; then
    fail "the program reported a fault"
  fi
  if [ -n "${BINDWISE_MONKEY_STRICT:-}" ] && grep -q -- "-CRITICAL \*\*" "$log"; then
    fail "the toolkit reported a critical fault"
  fi
  "$helper" ping "$main" 10000 || fail "no answer for 10 s (hang)"
}

pick() { local a=("$@"); echo "${a[RANDOM % ${#a[@]}]}"; }

# A point inside the window line "ID X Y W H KIND TITLE".
point_in() {
  local x y w h
  read -r _ x y w h _ <<<"$1"
  echo "$((x + RANDOM % w)) $((y + RANDOM % h))"
}

act() { echo "$*" >>"$actions"; "$@" >/dev/null 2>&1 || true; }

keys=(0 1 2 3 4 5 6 7 8 9 period minus comma e E a z space BackSpace Delete Return KP_Enter Tab ISO_Left_Tab
      Left Right Up Down Home End Page_Up Page_Down F6 shift+F6 F1 Escape)
accels=(ctrl+n ctrl+o ctrl+s ctrl+x ctrl+c ctrl+v ctrl+z ctrl+y ctrl+p ctrl+a ctrl+Insert shift+Insert
        shift+Delete alt+BackSpace ctrl+shift+z ctrl+plus ctrl+minus ctrl+0 ctrl+f)
menus=(alt+f alt+f alt+e alt+a alt+a alt+h F10)
numbers=(0 1 2.5 -3 1e3 0.001 1e308 -1e-308 nan inf 12345678901234 1,5 0.5e 99)

random_action() {  # $1: the window line to act in
  local where="$1" p
  p="$(point_in "$where")"
  local id="${where%% *}"
  [ "$(echo "$where" | awk '{ print $6 }')" = "window" ] && xdotool windowfocus "$id" >/dev/null 2>&1
  case $((RANDOM % 20)) in
    0|1|2|3|4) act xdotool mousemove $p click 1 ;;
    5) act xdotool mousemove $p click --repeat 2 1 ;;
    6) act xdotool mousemove $p click 3 ;;
    7) act xdotool mousemove $p mousedown 1 mousemove $(point_in "$where") mouseup 1 ;;
    8) act xdotool mousemove $p click $(pick 4 5) ;;
    9|10|11) act xdotool key "$(pick "${keys[@]}")" ;;
    12|13) act xdotool type -- "$(pick "${numbers[@]}")" ;;
    14|15) act xdotool key "$(pick "${accels[@]}")" ;;
    *)  # a menu walk: open a menu, move a few steps, choose or leave
      local walk=("$(pick "${menus[@]}")") n=$((RANDOM % 9))
      for _ in $(seq 1 "$n"); do walk+=("$(pick Down Down Down Down Right Left Up)"); done
      walk+=("$(pick Return Return Escape)")
      act xdotool key --delay 60 "${walk[@]}" ;;
  esac
}

# Closes the top window: Escape first, then the window manager's close, then Enter.
dismiss() {
  local id="$1"
  dialogs=$((dialogs + 1))
  xdotool windowfocus "$id" >/dev/null 2>&1
  act xdotool key Escape
  sleep 0.2
  "$helper" list "$pid" | grep -q "^$id " || return 0
  act "$helper" close "$id"
  sleep 0.2
  "$helper" list "$pid" | grep -q "^$id " || return 0
  act xdotool key Return
}

echo "Monkey: seed $seed, ${seconds} s, $program"
start_program
inside=0
while [ "$SECONDS" -lt "$seconds" ]; do
  check_program
  top="$("$helper" list "$pid" | tail -n 1)"
  [ -n "$top" ] || continue
  if [ "${top%% *}" = "$main" ]; then
    inside=0
    random_action "$top"
  elif [ "$inside" -lt $((RANDOM % 8)) ]; then
    inside=$((inside + 1))
    random_action "$top"
  else
    inside=0
    dismiss "${top%% *}"
  fi
  steps=$((steps + 1))
  sleep 0.05
done
check_program
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
if grep -q -- "-CRITICAL \*\*" "$log"; then
  echo "Monkey: the toolkit reported (not counted as a finding):"
  grep -- "-CRITICAL \*\*" "$log" | sed 's/^.*CRITICAL \*\*: [0-9:.]* //' | sort | uniq -c
fi
echo "Monkey: no finding in ${seconds} s ($steps actions, $dialogs dialogs dismissed, $starts starts; seed $seed)."
if [ -n "${BINDWISE_MONKEY_KEEP:-}" ]; then echo "Monkey: actions and output kept in $work"; else rm -rf "$work"; fi
