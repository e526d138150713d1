#!/usr/bin/env bash
# run.sh: installs what is missing, builds the Windows preset and runs the
# finder with its search service. On a desktop (DISPLAY set, NUV_HEADLESS not
# 1) the bar opens on that display. Without one, the finder runs under a
# private Xvfb: a driver presses the magnifier, types a word (NUV_DEMO_WORD,
# default "readme"), prints each step and what it saw, and leaves screenshots
# in build/run-output/; then everything is closed again. Headless, the service
# indexes Wine's C: drive and this source tree rather than every drive: Wine
# shows the whole Linux file system as a fixed drive Z:.
set -euo pipefail
root=$(dirname "$(dirname "$(realpath "$0")")")
cd "$root"

build=${NUV_BUILD_DIR:-build/windows} # another folder keeps a second build apart

scripts/install-deps.sh
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvelSokra NuvFileSearch NuvSearch finder-demo desktop-keeper

if [ -n "${DISPLAY:-}" ] && [ "${NUV_HEADLESS:-0}" != 1 ]; then
  NUV_USE_DISPLAY=1 exec scripts/wine-session.sh "$build" wine "$build/bin/orvelSokra.exe"
fi

# The service reads NuvFileSearch.ini beside it; this one lives only for the run.
settings="$build/bin/NuvFileSearch.ini"
shopt -s nullglob
excluded=".git"
for folder in build*/; do excluded="$excluded;${folder%/}"; done
printf '[index]\r\nroots=C:\\;Z:%s\r\nexclude=%s\r\n' "${root//\//\\}" "$excluded" >"$settings"
trap 'rm -f "$settings"' EXIT

out="$root/build/run-output"
mkdir -p "$out"
rm -f "$out"/*.png
scripts/wine-session.sh "$build" wine "$build/bin/finder-demo.exe" "${NUV_DEMO_WORD:-readme}" "$out"
echo "Screenshots: $out/bar.png (the bar), $out/open-field.png (the open field and its popup), $out/popup.png (the popup), $out/screen.png (the whole screen)"
