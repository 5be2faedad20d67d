#!/usr/bin/env bash
# Draws docs/pictures/fit-modes.png and smooth-shrink.png: what the Options page's Picture Size
# and Smooth choices do to a picture, made by the builder itself from pictures drawn here.
# Usage: docs/pictures/make-fit-pictures.sh [BUILD-FOLDER]   (default build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
out=$root/docs/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A square picture smaller than the screen, and a fine ring pattern much larger than it.
convert -size 300x300 radial-gradient:'#f4c542-#c0392b' -fill none -stroke white -strokewidth 6 \
  -draw 'rectangle 10,10 289,289' -draw 'circle 150,150 150,60' "$work/square.png"
convert -size 1600x1600 xc: -fx '0.5+0.5*cos(((i-800)^2+(j-800)^2)/700)' "$work/rings.png"

# The stored picture of a one-picture saver for a 640 x 400 screen.
stored() {
  local picture=$1 mode=$2 smooth=$3 name=$4
  cat >"$work/$name.kvp" <<KVP
[saverType]
type=pic
[dataFiles]
filenum=1
file0=$picture
[myOptions]
quitMode=0
DelayTime=8
FitMode=$mode
Smooth=$smooth
[myBuild]
OutPath=$work/
OutFileName=$name
OutType=0
KVP
  "$build/tools/kestrava-build" "$work/$name.kvp" --quiet --effects 1 --screen 640x400 >/dev/null
  "$build/tools/kestrava-tool" saver-extract "$work/$name.scr" "$work/$name" >/dev/null
  cp "$work/$name/picture-0.jpg" "$work/$name.jpg"
}

stored "$work/square.png" 0 1 shrink
stored "$work/square.png" 1 1 fit
stored "$work/square.png" 2 1 fill
montage -label 'Shrink (FitMode=0)' "$work/shrink.jpg" -label 'Fit (FitMode=1)' "$work/fit.jpg" \
  -label 'Fill (FitMode=2)' "$work/fill.jpg" -tile 3x1 -geometry 320x200+6+6 -pointsize 14 \
  -background '#eeeeee' "$out/fit-modes.png"

stored "$work/rings.png" 0 0 dropped
stored "$work/rings.png" 0 1 smoothed
# The top left quarter of each, where the rings are finest, twice as large.
for name in dropped smoothed; do
  convert "$work/$name.jpg" -crop 200x200+120+0 +repage -filter point -resize 400x400 \
    "$work/$name-detail.png"
done
montage -label 'Smooth off: pixels dropped' "$work/dropped-detail.png" \
  -label 'Smooth on (Smooth=1)' "$work/smoothed-detail.png" -tile 2x1 -geometry +6+6 \
  -pointsize 14 -background '#eeeeee' "$out/smooth-shrink.png"
echo "$out/fit-modes.png $out/smooth-shrink.png"
