#!/usr/bin/env bash
# Runs COMMAND with DISPLAY set to a private Xvfb server on a free display,
# then ends the server and every process of the wine prefix PREFIX.
# Usage: with-xvfb.sh WINESERVER PREFIX SECONDS COMMAND...
set -u
wineserver=$1 prefix=$2 seconds=$3
shift 3

dir=$(mktemp -d)
cleanup() {
  # The prefix is this test's own, so ending all its processes touches no other test.
  WINEPREFIX=$prefix timeout 20 "$wineserver" -k 2>/dev/null
  [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# -displayfd: the server picks a free display and writes its number once ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [[ -s $dir/display ]] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
if ! [[ -s $dir/display ]]; then
  echo "Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=:$(head -n1 "$dir/display")

timeout -k 5 "$seconds" "$@"
