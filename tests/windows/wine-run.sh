#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and quiet, in a Wine prefix of the build's own:
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# The prefix is made on first use; tests running at once wait for each other while it is made.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [[ ! -f "$prefix/system.reg" ]]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$prefix.lock"
wine=$(command -v wine64 || command -v wine)
exec "$wine" "$@"
