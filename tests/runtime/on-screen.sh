#!/usr/bin/env bash
# What a playing saver puts on an X screen (Xvfb): its full-screen window and the root window
# (-root) show the first picture, and after the interval and a transition the second one.
# Usage: on-screen.sh KESTRAVA_BUILD
set -euo pipefail
source "$(dirname "$0")/screen-support.sh"

if [[ "${1:-}" != --inner ]]; then
  exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inner "$@"
fi
builder=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

convert -size 640x480 xc:'#ff0000' "$work/red.jpg"
convert -size 640x480 xc:'#0000ff' "$work/blue.jpg"
build_show "$builder" "$work" 3 "$work/red.jpg" "$work/blue.jpg"

failures=0

expect() {
  local what=$1 expected=$2 seen
  seen=$(colour_at 320 240)
  if [[ $seen != "$expected" ]]; then
    echo "$what: the screen shows $seen, expected $expected"
    failures=$((failures + 1))
  fi
}

# Full screen: the window appears, red while the first picture is held, then blue.
"$work/show.scr" /s 2>"$work/saver.err" &
pid=$!
if ! timeout 60 xdotool search --sync --name '^Kestrava$' >/dev/null; then
  echo "the saver's window never appeared:"; cat "$work/saver.err"; exit 1
fi
start=$(date +%s%N)
sleep 1
expect "full screen, first picture" red
# The transition runs from 3 to 4 s; the blue picture is held until 7 s.
sleep $(awk -v s="$start" -v now="$(date +%s%N)" 'BEGIN { print 5.5 - (now - s) / 1e9 }')
expect "full screen, second picture" blue
kill "$pid"; wait "$pid" 2>/dev/null || true

# The root window, as -root asks: the picture is drawn into the window it was given.
"$work/show.scr" -root 2>"$work/saver.err" &
pid=$!
sleep 2
expect "root window" red
kill "$pid"; wait "$pid" 2>/dev/null || true

exit $((failures > 0))
