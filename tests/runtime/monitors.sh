#!/usr/bin/env bash
# A saver on an X screen of two monitors (a nested Xephyr server with Xinerama inside Xvfb: a
# 640 x 480 monitor and a 320 x 240 one beside it; Xvfb alone stacks its screens at one corner):
# both show the picture, the smaller one scaled to fit, in the full-screen window and in the root
# window. Usage: monitors.sh KESTRAVA_BUILD
set -euo pipefail
source "$(dirname "$0")/screen-support.sh"

if [[ "${1:-}" != --inner ]]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --inner "$@"
fi
builder=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

# The nested server, on a display number it chooses itself.
exec {display_fd}<> <(:)
Xephyr -displayfd "$display_fd" +xinerama -screen 640x480 -screen 320x240 -ac 2>/dev/null &
read -r -t 30 -u "$display_fd" number || { echo "Xephyr did not start"; exit 1; }
export DISPLAY=":$number"

# A red picture with a blue right half, so a mirrored or cut picture shows.
convert -size 640x480 xc:'#ff0000' -fill '#0000ff' -draw 'rectangle 320,0 639,479' "$work/p.jpg"
build_show "$builder" "$work" 30 "$work/p.jpg"

failures=0

# x y colour, on the two monitors: the left and right halves of each.
check_both() {
  local what=$1 x y expected seen
  while read -r x y expected; do
    seen=$(colour_at "$x" "$y")
    if [[ $seen != "$expected" ]]; then
      echo "$what: at $x,$y the screen shows $seen, expected $expected"
      failures=$((failures + 1))
    fi
  done <<POINTS
160 240 red
480 240 blue
720 120 red
880 120 blue
POINTS
}

"$work/show.scr" /s 2>"$work/saver.err" &
pid=$!
if ! timeout 60 xdotool search --sync --name '^Kestrava$' >/dev/null; then
  echo "the saver's window never appeared:"; cat "$work/saver.err"; exit 1
fi
sleep 1
check_both "full screen"
kill "$pid"; wait "$pid" 2>/dev/null || true

"$work/show.scr" -root 2>"$work/saver.err" &
pid=$!
sleep 2
check_both "root window"
kill "$pid"; wait "$pid" 2>/dev/null || true

exit $((failures > 0))
