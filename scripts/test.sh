#!/usr/bin/env bash
# Builds and runs every test: the portable code natively under AddressSanitizer
# and UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the
# Windows build under Wine in a private Xvfb display. Installs what is missing.
# Leaves nothing running. Exit status 0 only when every suite passed.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."
scripts/install-deps.sh

jobs=$(nproc)
failed=()

suite() {  # suite NAME COMMAND...: runs one suite, remembers a failure, goes on
  local name=$1; shift
  echo "=== $name"
  if ! "$@"; then failed+=("$name"); fi
}

build() {  # build PRESET: configure and build one preset quietly
  cmake --preset "$1" >"build-$1.log" 2>&1 || { cat "build-$1.log"; return 1; }
  cmake --build "build/$1" -j"$jobs" >>"build-$1.log" 2>&1 || { tail -60 "build-$1.log"; return 1; }
  rm -f "build-$1.log"
}

native()  { build native-asan && ctest --test-dir build/native-asan --output-on-failure -j"$jobs"; }
fuzz()    { build fuzz && ctest --test-dir build/fuzz --output-on-failure; }
windows() { build windows && scripts/wine-session.sh build/windows \
              ctest --test-dir build/windows --output-on-failure -j"$jobs"; }

suite "native tests (ASan/UBSan)" native
suite "fuzzing (bounded)" fuzz
suite "Windows tests (Wine)" windows

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All suites passed."
