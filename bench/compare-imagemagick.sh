#!/usr/bin/env bash
# One 4000 x 3000 photograph made ready for a 1920 x 1080 screen: ImageMagick's convert against a
# whole kestrava-build run on a one-picture project, each timed as a process from start to end.
# Goal: kestrava-build at least twice as fast. Usage: bench/compare-imagemagick.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
runs=${2:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -seed 7 -size 4000x3000 plasma:fractal -blur 0x1 -attenuate 0.3 +noise Gaussian \
        -quality 92 "$work/photo.jpg"
printf '[saverType]\ntype=pic\n[dataFiles]\nfilenum=1\nfile0=%s\n[musicFiles]\nmusicnum=0\n[myOptions]\nquitMode=0\nDelayTime=8\n[myBuild]\nOutPath=%s/\nOutFileName=photo\nOutType=0\n' \
       "$work/photo.jpg" "$work" >"$work/photo.kvp"

# Median wall time in milliseconds of a command run $runs times.
median_ms() {
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

magick=$(median_ms convert "$work/photo.jpg" -sample '1920x1080>' -background black -gravity center \
         -extent 1920x1080 -quality 80 "$work/out.jpg")
kestrava=$(median_ms "$build/tools/kestrava-build" "$work/photo.kvp" --screen 1920x1080 --quiet)
echo "convert:        ${magick} ms"
echo "kestrava-build: ${kestrava} ms"
awk -v m="$magick" -v k="$kestrava" 'BEGIN { printf "kestrava-build is %.2f times as fast\n", m / k }'
