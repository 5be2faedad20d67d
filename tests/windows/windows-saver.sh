#!/usr/bin/env bash
# The Windows saver program under Wine, on a small pictures saver of four plain pictures:
#   windows-saver.sh CASE WINE-RUN PREFIX kestrava-saver.exe kestrava-build kestrava-tool
# CASE: dump       frames equal the Linux runtime's of the same saver and seed
#       screen     /s under Xvfb puts the pictures on the screen; a drift of the pointer leaves
#                  it running, a key ends it
#       configure  /c and no argument show a note captioned "Kestrava" that closes with Return
#       preview    /p HWND puts the show into a miniature window and ends when that window goes
#       damaged    a truncated saver: exit 2 with the reason on stderr (dump), a box in /s
#       music      a saver with a WAV and a broken MIDI file plays through its frames (what does
#                  not play is passed over) and leaves none of its temporary files behind
set -euo pipefail
case=$1 run=$2 prefix=$3 exe=$4 builder=$5 tool=$6

if [[ $case != dump && $case != music && "${INNER:-}" != yes ]]; then
  INNER=yes exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
export SDL_AUDIODRIVER=dummy

for colour in red lime blue yellow; do
  convert -size 320x240 "xc:$colour" -fill white -draw "circle 160 120 160 60" "$colour.jpg"
done
cat >show.kvp <<KVP
[saverType]
type=pic
[dataFiles]
filenum=4
file0=$work/red.jpg
file1=$work/lime.jpg
file2=$work/blue.jpg
file3=$work/yellow.jpg
[myOptions]
quitMode=3
DelayTime=1
[myBuild]
OutPath=$work/
OutType=0
KVP
# The Windows saver from the builder when it carries the Windows program, else made by hand:
# the Linux saver's payload and trailer behind kestrava-saver.exe instead of the Linux program.
"$builder" show.kvp --quiet --screen 320x240 --name linux >/dev/null
if ! "$builder" show.kvp --quiet --screen 320x240 --target windows --name windows >/dev/null 2>&1
then
  runtime=$("$tool" saver-info linux.scr | sed -n 's/^runtime: offset 0 size //p')
  { cat "$exe"; tail -c +$((runtime + 1)) linux.scr; } >windows.scr
fi
saver=$work/windows.scr

# Runs the saver under Wine in the background; its status lands in $work/status.
start() {
  (set +e; bash "$run" "$prefix" "$@" 2>"$work/stderr"; echo $? >"$work/status") &
}
# Waits up to $1 seconds for the saver's status.
status_within() {
  for _ in $(seq 1 $(($1 * 10))); do
    [[ -f $work/status ]] && { cat "$work/status"; return; }
    sleep 0.1
  done
  echo "running"
}

# Closes the message box the saver shows, and prints the saver's status after it.
close_box() {
  local id ended
  id=$(timeout 60 xdotool search --sync --name '^Kestrava$' | head -1)
  xdotool key --window "$id" Return 2>/dev/null || true
  ended=$(status_within 10)
  if [[ $ended == running ]]; then
    # Focus may lie elsewhere under a bare X server: close the box by its window.
    xdotool windowclose "$id" 2>/dev/null || true
    ended=$(status_within 10)
  fi
  echo "$ended"
}

case $case in
  dump)
    frames=60
    bash "$run" "$prefix" "$saver" --frames $frames --dump wdump --seed 3
    # The Linux program on the same payload.
    "$work/linux.scr" --payload "$saver" --frames $frames --dump ldump --seed 3
    worst=0
    for ((i = 0; i < frames; i++)); do
      name=$(printf frame-%05d $i)
      peak=$( (compare -metric PAE "wdump/$name.bmp" "ldump/$name.png" null: 2>&1 || true) | sed 's/ .*//')
      levels=$(((peak * 255 + 32767) / 65535))
      ((levels > worst)) && worst=$levels
    done
    echo "$frames frames, largest difference $worst levels"
    # WIC and libjpeg decode a Windows saver's JPEGs (chroma in full) within a few levels; a
    # saver made by hand from a Linux one has halved chroma, whose edges the two smooth apart.
    limit=4
    [[ -n ${runtime:-} ]] && limit=64
    if ((worst > limit)); then
      echo "the Windows frames differ from the Linux ones by more than $limit levels"
      exit 1
    fi
    ;;
  screen)
    xdotool mousemove 5 5
    start "$saver" /s
    id=$(timeout 60 xdotool search --sync --name '^Kestrava$' | head -1)
    sleep 3
    import -window root shot.png
    # The pictures (plain colours with a white disc, one second each, a transition between) fill
    # the screen: their colours and white, next to no black.
    counts=$(convert shot.png -format %c histogram:info:-)
    black=$(echo "$counts" | awk '/#0[01]0[01]0[01] / {n += $1} END {print n + 0}')
    white=$(echo "$counts" | awk '/#F[EF]F[EF]F[EF] / {n += $1} END {print n + 0}')
    colour=$(echo "$counts" |
      awk '/#(F[EF]0[01]0[01]|0[01]F[EF]0[01]|0[01]0[01]F[EF]|F[EF]F[EF]0[01]) / {n += $1} END {print n + 0}')
    echo "colours $colour, white $white, black $black of $((640 * 480)) pixels"
    if ((colour < 640 * 480 / 3 || white < 640 * 480 / 20 || black > 640 * 480 / 50)); then
      echo "the pictures are not on the screen"; exit 1
    fi
    # A drift within the tolerance does not wake the saver; a key does (quit mode 4: any).
    xdotool mousemove_relative 3 2
    [[ $(status_within 1) == running ]] || { echo "a drift of 3 pixels ended the saver"; exit 1; }
    # Keys go to the focused window; with no window manager nothing gives the saver the focus.
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key space
    ended=$(status_within 20)
    [[ $ended == 0 ]] || { echo "a key did not end the saver: $ended"; exit 1; }
    echo "the pictures were on the screen, a key ended the saver"
    ;;
  configure)
    for args in /c "/C:0" ""; do
      rm -f status
      # shellcheck disable=SC2086
      start "$saver" $args
      ended=$(close_box)
      [[ $ended == 0 ]] || { echo "\"$args\": the note did not close: $ended"; exit 1; }
      echo "\"${args:-no argument}\": the note opened and closed"
    done
    ;;
  preview)
    # Wine's drive Z: is the Unix root.
    bash "$run" "$prefix" "$(dirname "$exe")/kestrava-preview-host.exe" "Z:${saver//\//\\}" 3
    ;;
  music)
    # A second of silence as a WAV, and a MIDI file that is not one.
    python3 -c 'import wave
w = wave.open("tone.wav", "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(bytes(16000)); w.close()'
    printf 'not a MIDI file' >broken.mid
    sed -e '/^\[myOptions\]/i [musicFiles]\nmusicnum=2\nmusic0='"$work"'/broken.mid\nmusic1='"$work"'/tone.wav' \
      show.kvp >music.kvp
    "$builder" music.kvp --quiet --screen 320x240 --target windows --name music >/dev/null
    [[ $("$tool" saver-info music.scr | grep -c '^music') -ge 2 ]] ||
      { echo "the saver holds no music"; exit 1; }
    touch started
    bash "$run" "$prefix" "$work/music.scr" --frames 60 --dump mdump
    [[ -f mdump/frame-00059.bmp ]] || { echo "the frames were not all written"; exit 1; }
    # The music's temporary files are kst*.tmp and kst*.tmp.<ending> in Windows' temporary folder.
    left=$(find "$prefix/drive_c/users" -iname 'kst*.tmp*' -newer started | wc -l)
    [[ $left == 0 ]] || { echo "$left temporary music files were left behind"; exit 1; }
    echo "60 frames with music, no temporary file left"
    ;;
  damaged)
    head -c $(($(stat -c %s "$saver") - 7)) "$saver" >cut.scr
    set +e
    bash "$run" "$prefix" "$work/cut.scr" --frames 3 --dump cdump 2>err.txt
    status=$?
    set -e
    echo "dump: status $status: $(cat err.txt)"
    [[ $status == 2 && -s err.txt ]] || { echo "the dump of a truncated saver must end with 2"; exit 1; }
    start "$work/cut.scr" /s
    ended=$(close_box)
    [[ $ended == 2 ]] || { echo "/s on a truncated saver: status $ended, not 2 after its box"; exit 1; }
    echo "/s: a box, then status 2"
    ;;
esac
