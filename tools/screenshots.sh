#!/usr/bin/env bash
# Pictures of every page of Kestrune.exe at every step of a whole uninstall, and of the
# information and update pages, as build/screenshots/*.png. Builds nothing: it runs the window
# tests of an existing Windows build (default build/win32) with pictures switched on, on the
# current X display or a private Xvfb. Without a window manager Wine draws the title bars
# itself; that setting of the Wine prefix is made for the run and put back afterwards.
# Usage: tools/screenshots.sh [WINDOWS_BUILD_FOLDER]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd) || exit 2
bin="$build/bin"
package="$build/tests/fixtures/stubborn/signatures/REZ.hdb3"
out="$root/build/screenshots"
for needed in "$bin/Kestrune.exe" "$bin/test_window_pages.exe" "$bin/test_window_uninstall.exe" \
              "$bin/stubborn_fixture.exe" "$package"; do
  [ -f "$needed" ] || { echo "screenshots: $needed is missing; build $build first" >&2; exit 2; }
done
command -v convert >/dev/null || { echo "screenshots: ImageMagick's convert is missing (tools/setup.sh)" >&2; exit 2; }

rm -rf "$out"
mkdir -p "$out"

wine_run() { bash "$root/tools/wine-run.sh" "$@"; }
decorated_key='HKCU\Software\Wine\X11 Driver'
take_pictures() {
  local earlier
  earlier=$(wine_run reg query "$decorated_key" /v Decorated 2>/dev/null | tr -d '\r' |
            awk '$1 == "Decorated" {print $3}')
  wine_run reg add "$decorated_key" /v Decorated /d N /f >/dev/null 2>&1
  local status=0
  KESTRUNE_SCREENSHOTS="Z:${out//\//\\}" bash "$root/tests/ui/quillmoss_window.sh" "$bin" \
    "$bin/test_window_uninstall.exe" "$package" || status=1
  KESTRUNE_SCREENSHOTS="Z:${out//\//\\}" wine_run "$bin/test_window_pages.exe" 2>/dev/null || status=1
  if [ -n "$earlier" ]; then
    wine_run reg add "$decorated_key" /v Decorated /d "$earlier" /f >/dev/null 2>&1
  else
    wine_run reg delete "$decorated_key" /v Decorated /f >/dev/null 2>&1
  fi
  return $status
}
export -f wine_run take_pictures
export root bin package out decorated_key

bash "$root/tools/with-display.sh" bash -c take_pictures
status=$?

for picture in "$out"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
echo "$(ls "$out"/*.png 2>/dev/null | wc -l) pictures in $out"
[ "$status" -eq 0 ] || echo "screenshots: a window test failed; its pictures show how far it came" >&2
exit "$status"
