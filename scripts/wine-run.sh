#!/bin/sh
# CTest's cross-compiling emulator: runs one Windows executable under Wine in
# the project's private prefix. The exit code of the executable passes through.
set -e
: "${WINEPREFIX:=${TMPDIR:-/tmp}/nuvsokra-wineprefix-$(id -u)}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree=;mshtml=;winemenubuilder.exe=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH=win64 LANG=C.UTF-8
if [ ! -f "$WINEPREFIX/.configured" ]; then
  "$(dirname "$0")/wine-prefix-setup.sh"
fi
exec wine "$@"
