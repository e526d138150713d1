#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND...
# Runs COMMAND with a private X display (Xvfb, 1920x1080), the build's own Wine
# prefix and a process that keeps Wine's desktop open, and takes all of them
# down again when COMMAND ends, fails or is interrupted. With NUV_USE_DISPLAY=1
# and DISPLAY set, the caller's display is used instead of Xvfb.
#
# NUV_WINE_VARIANT=stock-fonts or dpi144 runs COMMAND in a prefix of its own,
# BUILD_DIR/wineprefix-VARIANT, set up as wine-prefix-setup.sh describes.
# wineserver is per prefix, so such a session may run inside another one: with
# NUV_USE_DISPLAY=1 it shares the outer session's display and nothing else.
set -euo pipefail
build=$(realpath "$1"); shift
here=$(dirname "$(realpath "$0")")

prefix="$build/wineprefix${NUV_WINE_VARIANT:+-$NUV_WINE_VARIANT}"
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="

xvfb_pid="" keeper_pid=""
cleanup() {
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  timeout 30 wineserver -k 2>/dev/null || true   # every Wine process of this prefix
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${NUV_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$dfile" ] && break; sleep 0.1; done
  [ -s "$dfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$dfile")"
  rm -f "$dfile"
fi

"$here/wine-prefix-setup.sh"

# Wine closes its desktop 1 s after the last process leaves, and the desktop
# process inherits the stdio of whoever opened it: open it here, away from
# ctest's pipes, and keep it open for the whole session.
keeper_out="$prefix.keeper.out"
: >"$keeper_out" # before the keeper starts: a "ready" left by the last session must not count
wine "$build/bin/desktop-keeper.exe" </dev/null >"$keeper_out" 2>/dev/null &
keeper_pid=$!
for _ in $(seq 300); do grep -q ready "$keeper_out" 2>/dev/null && break; sleep 0.1; done
grep -q ready "$keeper_out" || { echo "Wine desktop did not start" >&2; exit 1; }

"$@"
