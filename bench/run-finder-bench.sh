#!/usr/bin/env bash
# The keystroke in the real finder under Wine: from the key press to the list
# showing the new count and its first page of rows, against a 1M-entry index,
# beside the client library's round trip and the engine alone.
#
#   bench/run-finder-bench.sh
#
# WIN_BUILD_DIR (default build/windows): the windows preset, built here.
# NATIVE_BUILD_DIR (default build/native): the native preset, for gen-tree.
# BENCH_DIR (default build/bench-data): the path list, shared with the other
#   benchmarks; made again only when the generator changed.
# COUNT (default 1M): entries in the list.
# REPEAT (default 5): how often each word is typed.
# WORDS: comma-separated words to type (default: finder-bench's own set).
# Prints one table on stdout. Take it on a quiet machine.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

WIN_BUILD_DIR=${WIN_BUILD_DIR:-build/windows}
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-build/native}
BENCH_DIR=${BENCH_DIR:-build/bench-data}
COUNT=${COUNT:-1M}
REPEAT=${REPEAT:-5}
mkdir -p "$BENCH_DIR"

log() { printf '%s\n' "$*" >&2; }

log "building gen-tree (native) and finder-bench (windows)"
{ cmake --preset native -B "$NATIVE_BUILD_DIR" && cmake --build "$NATIVE_BUILD_DIR" -j2 --target gen-tree &&
  cmake --preset windows -B "$WIN_BUILD_DIR" &&
  cmake --build "$WIN_BUILD_DIR" -j2 --target finder-bench desktop-keeper
} >"$BENCH_DIR/finder-bench-build.log" 2>&1 || { tail -40 "$BENCH_DIR/finder-bench-build.log"; exit 1; }

# The same identity as the other benchmark scripts give their lists.
workload_id() {
    cat bench/workload/{random.h,name_pool.*,tree_generator.*,disk_tree.*,gen_tree.cpp} | sha256sum | cut -c1-16
}
list="$BENCH_DIR/list-${COUNT,,}.txt"
if [[ -f $list.id && $(cat "$list.id") == "$(workload_id)" ]]; then
    log "reusing $list"
else
    log "generating $list"
    "$NATIVE_BUILD_DIR/bench/workload/gen-tree" --count "$COUNT" --list "$list.partial" 2>"$list.stats"
    mv "$list.partial" "$list"
    workload_id >"$list.id"
fi

# Wine sees the Linux root as drive Z:.
windows_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }
args=(--pathlist "$(windows_path "$list")" --repeat "$REPEAT")
[ -n "${WORDS:-}" ] && args+=(--words "$WORDS")
scripts/wine-session.sh "$WIN_BUILD_DIR" wine "$WIN_BUILD_DIR/bin/finder-bench.exe" "${args[@]}"
