#!/usr/bin/env bash
# What a playing saver puts on an X screen (Xvfb): its full-screen window and the root window
# (-root) show the first picture, and after the interval and a transition the second one.
# Usage: on-screen.sh KESTRAVA_BUILD
set -euo pipefail

if [[ "${1:-}" != --inner ]]; then
  exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inner "$@"
fi
builder=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

convert -size 640x480 xc:'#ff0000' "$work/red.jpg"
convert -size 640x480 xc:'#0000ff' "$work/blue.jpg"
cat >"$work/show.kvp" <<KVP
[saverType]
type=pic
[dataFiles]
filenum=2
file0=$work/red.jpg
file1=$work/blue.jpg
[myOptions]
quitMode=3
DelayTime=3
[myBuild]
OutPath=$work/
OutFileName=show
OutType=0
KVP
"$builder" "$work/show.kvp" --quiet --effects 52 --screen 640x480 >/dev/null

failures=0
# The colour name of the screen's pixel at x y: red, blue, black or other.
colour_at() {
  local rgb
  rgb=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1)
  local r=$((16#${rgb:1:2})) g=$((16#${rgb:3:2})) b=$((16#${rgb:5:2}))
  if ((r > 200 && g < 60 && b < 60)); then echo red
  elif ((b > 200 && r < 60 && g < 60)); then echo blue
  elif ((r < 20 && g < 20 && b < 20)); then echo black
  else echo "other($rgb)"; fi
}

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
