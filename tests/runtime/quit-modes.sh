#!/usr/bin/env bash
# The saver's wake-up actions on a real X display: a saver built for each quit mode is started
# full screen under Xvfb, xdotool plays the user's action, and the saver must end (or keep
# running) as its quit mode says; once its window has gone the process must end within half a
# second. Usage: quit-modes.sh KESTRAVA_BUILD PICTURE.jpg
set -euo pipefail

if [[ "${1:-}" != --inner ]]; then
  exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inner "$@"
fi
builder=$2
picture=$3
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

for index in 0 1 2 3 4; do
  cat >"$work/q$index.kvp" <<KVP
[saverType]
type=pic
[dataFiles]
filenum=2
file0=$picture
file1=$picture
[myOptions]
quitMode=$index
DelayTime=1
[myBuild]
OutPath=$work/
OutFileName=q$index
OutType=0
KVP
  "$builder" "$work/q$index.kvp" --quiet --effects 52 --screen 320x240 >/dev/null
done

failures=0
# mode action expectation: "ends" or "runs"
check() {
  local mode=$1 action=$2 expected=$3 saver="$work/q$(($1 - 1)).scr"
  xdotool mousemove 200 200
  local pid attempt
  # The saver's window is up once X knows a window by its title. A loaded machine can be slow to
  # show the first one: a second start is allowed before the case fails.
  for attempt in 1 2; do
    "$saver" /s 2>"$work/saver.err" &
    pid=$!
    if timeout 60 xdotool search --sync --name '^Kestrava$' >/dev/null; then break; fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if ((attempt == 2)); then
      echo "mode $mode: the saver's window never appeared; the saver said:"
      cat "$work/saver.err"
      failures=$((failures + 1))
      return
    fi
  done
  # A moment for the saver to note where the pointer starts.
  sleep 0.3
  case $action in
    move) xdotool mousemove_relative 60 40 ;;
    drift) xdotool mousemove_relative 3 2 ;;
    jump) xdotool mousemove 600 400 ;;
    jump-near)
      # An absolute jump within the drift allowance of where the pointer is now.
      eval "$(xdotool getmouselocation --shell)"
      xdotool mousemove $((X + 4)) $((Y + 5))
      ;;
    warp-back) xdotool mousemove 620 460 mousemove 200 200 ;;
    click) xdotool click 1 ;;
    key) xdotool key space ;;
    alt-f4) xdotool key alt+F4 ;;
  esac
  # An end comes within five seconds; a saver that should keep running gets two to prove it.
  # Once its window has gone, the process must be gone within half a second.
  local ended=no tries=100 windowGone=""
  [[ $expected == runs ]] && tries=40
  for _ in $(seq 1 "$tries"); do
    if ! kill -0 "$pid" 2>/dev/null; then ended=yes; break; fi
    if [[ -z $windowGone ]] && ! xdotool search --name '^Kestrava$' >/dev/null 2>&1; then
      windowGone=$(date +%s%N)
    fi
    sleep 0.05
  done
  if [[ $ended == yes && -n $windowGone ]]; then
    local lingered=$((($(date +%s%N) - windowGone) / 1000000))
    if ((lingered > 500)); then
      echo "mode $mode, $action: the process outlived its window by $lingered ms"
      failures=$((failures + 1))
    fi
  fi
  if [[ $expected == ends && $ended == no ]]; then
    echo "mode $mode, $action: the saver kept running"; failures=$((failures + 1))
  elif [[ $expected == runs && $ended == yes ]]; then
    echo "mode $mode, $action: the saver ended"; failures=$((failures + 1))
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

check 1 move ends
check 1 jump ends
check 1 jump-near runs
check 1 warp-back ends
check 1 drift runs
check 1 click runs
check 2 click ends
check 2 move runs
check 3 key ends
check 3 click runs
check 4 move ends
check 4 jump ends
check 4 click ends
check 4 key ends
check 5 move runs
check 5 jump runs
check 5 click runs
check 5 key runs
check 5 alt-f4 ends
check 3 alt-f4 ends

if ((failures > 0)); then
  echo "$failures quit-mode checks failed"
  exit 1
fi
echo "all quit-mode checks passed"
