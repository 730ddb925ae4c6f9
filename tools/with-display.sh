#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it and
# stopped afterwards. Wine's window tests and screenshots need one; every Wine process of a run
# must see the same display, since the first one starts the prefix's desktop on it.
set -u
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
for number in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do
  [ -e "/tmp/.X11-unix/X$number" ] && break
  sleep 0.1
done
export DISPLAY=":$number"
# A Wine server left from a run without this display would refuse windows on it.
build=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build
stop_wine() {
  local prefix
  for prefix in "${KESTRUNE_WINEPREFIX:-$build/wineprefix}" "$build/wineprefix32"; do
    [ -f "$prefix/system.reg" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  done
}
stop_wine
"$@"
status=$?
stop_wine
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit "$status"
