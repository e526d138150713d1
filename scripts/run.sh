#!/usr/bin/env bash
# run.sh: installs what is missing, builds the Windows preset and runs the
# program. On a desktop (DISPLAY set, NUV_HEADLESS not 1) it opens on that
# display; without one it runs under a private Xvfb, leaves screenshots in
# build/run-output/ and closes again.
#
# Until the finder exists, the program is the window framework's sample: a
# dialog with Chinese text, an owner-drawn button and an owner-data list.
set -euo pipefail
root=$(dirname "$(dirname "$(realpath "$0")")")
cd "$root"

build=${NUV_BUILD_DIR:-build/windows} # another folder keeps a second build apart

scripts/install-deps.sh
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target framework-sample desktop-keeper

program=$build/bin/framework-sample.exe
title='窗口框架示例'

if [ -n "${DISPLAY:-}" ] && [ "${NUV_HEADLESS:-0}" != 1 ]; then
  NUV_USE_DISPLAY=1 exec scripts/wine-session.sh "$build" wine "$program"
fi

out="$root/build/run-output"
mkdir -p "$out"
rm -f "$out"/*.png
# Runs inside the session: start the program, wait for its window, take the
# screenshots. The session ends the program when this returns.
capture() {
  wine "$program" </dev/null >"$out/program.log" 2>&1 &
  local window=""
  for _ in $(seq 150); do
    window=$(xdotool search --name "$title" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the program's window did not appear" >&2; return 1; }
  sleep 1 # let it paint
  import -window root "$out/screen.png"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  convert "$out/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/window.png"
}
export -f capture
export program title out
scripts/wine-session.sh "$build" bash -c capture
echo "Screenshots: $out/screen.png (whole screen), $out/window.png (the program's window)"
