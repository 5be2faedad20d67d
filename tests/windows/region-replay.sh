#!/usr/bin/env bash
# The recorded platform region answers, replayed through the Windows build on GDI:
#   region-replay.sh WINE-RUN PREFIX kestrava-region.exe gdi-regions.txt
set -euo pipefail
run=$1 prefix=$2 program=$3 reference=$4
expected=$(grep -v '^#' "$reference" | grep -v '^> ')
actual=$(grep '^> ' "$reference" | bash "$run" "$prefix" "$program")
if [[ "$actual" != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$actual") | head -40
  exit 1
fi
echo "$(grep -c '^> ' "$reference") commands replayed, the answers equal the recorded ones"
