#!/usr/bin/env bash
# The Windows saver decodes its pictures with WIC, the Linux one with libjpeg. On the pictures a
# Windows build stores (colour in full) the two must agree within a few levels:
#   wic-vs-libjpeg.sh WINE-RUN PREFIX kestrava-decode.exe kestrava-build kestrava-tool
set -euo pipefail
run=$1 prefix=$2 decode=$3 builder=$4 tool=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A photograph-like picture, and sharp edges between saturated colours: the hardest case.
convert -size 480x300 -seed 7 plasma:fractal -blur 0x1 photo.jpg
convert -size 480x300 pattern:checkerboard -fill red -opaque black -fill blue -opaque white \
  -scale 400% -crop 480x300+0+0 edges.bmp
cat >show.kvp <<KVP
[saverType]
type=pic
[dataFiles]
filenum=2
file0=$work/photo.jpg
file1=$work/edges.bmp
[myOptions]
quitMode=4
DelayTime=1
[myBuild]
OutPath=$work/
OutFileName=show
OutType=0
Target=windows
KVP
"$builder" show.kvp --quiet --effects 52 --screen 480x300 >/dev/null
"$tool" saver-extract show.scr stored >/dev/null
worst=0
for picture in stored/picture-*.jpg; do
  name=$(basename "$picture" .jpg)
  bash "$run" "$prefix" "$decode" "$picture" "$name-wic.bmp"
  "$tool" decode "$picture" "$name-libjpeg.png"
  # The largest difference of one channel of one pixel, in levels of 255.
  peak=$( (compare -metric PAE "$name-wic.bmp" "$name-libjpeg.png" null: 2>&1 || true) | sed 's/ .*//')
  levels=$(((peak * 255 + 32767) / 65535))
  mean=$( (compare -metric MAE "$name-wic.bmp" "$name-libjpeg.png" null: 2>&1 || true) | sed 's/ .*//')
  echo "$name: largest difference $levels levels, mean $(awk "BEGIN{printf \"%.2f\", $mean * 255 / 65535}") levels"
  if ((levels > worst)); then worst=$levels; fi
done
if ((worst > 4)); then
  echo "WIC and libjpeg differ by $worst levels, more than 4"
  exit 1
fi
