#!/usr/bin/env bash
# The keystroke through the client library and the service under Wine, side by
# side with the engine's own time in the same process, at 100k and 1M entries.
#
#   bench/run-client-bench.sh
#
# WIN_BUILD_DIR (default build/windows): the windows preset, built here.
# NATIVE_BUILD_DIR (default build/native): the native preset, for gen-tree.
# BENCH_DIR (default build/bench-data): the path lists, shared with
#   run-engine-bench.sh; made again only when the generator changed.
# REPEAT (default 7): runs behind every median.
# The queries are bench/queries.txt. Prints one table per size on stdout.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

WIN_BUILD_DIR=${WIN_BUILD_DIR:-build/windows}
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-build/native}
BENCH_DIR=${BENCH_DIR:-build/bench-data}
REPEAT=${REPEAT:-7}
mkdir -p "$BENCH_DIR"

log() { printf '%s\n' "$*" >&2; }

log "building gen-tree (native) and client-bench (windows)"
{ cmake --preset native -B "$NATIVE_BUILD_DIR" && cmake --build "$NATIVE_BUILD_DIR" -j2 --target gen-tree &&
  cmake --preset windows -B "$WIN_BUILD_DIR" &&
  cmake --build "$WIN_BUILD_DIR" -j2 --target client-bench NuvFileSearch NuvSearch desktop-keeper
} >"$BENCH_DIR/client-bench-build.log" 2>&1 || { tail -40 "$BENCH_DIR/client-bench-build.log"; exit 1; }

# The same identity as run-engine-bench.sh gives its lists, so either script reuses the other's.
workload_id() {
    cat bench/workload/{random.h,name_pool.*,tree_generator.*,disk_tree.*,gen_tree.cpp} | sha256sum | cut -c1-16
}
make_list() { # make_list COUNT FILE
    if [[ -f $2.id && $(cat "$2.id") == "$(workload_id)" ]]; then log "reusing $2"; return; fi
    log "generating $2"
    "$NATIVE_BUILD_DIR/bench/workload/gen-tree" --count "$1" --list "$2.partial" 2>"$2.stats"
    mv "$2.partial" "$2"
    workload_id >"$2.id"
}
make_list 100k "$BENCH_DIR/list-100k.txt"
make_list 1M "$BENCH_DIR/list-1m.txt"

# Wine sees the Linux root as drive Z:.
windows_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

for list in list-100k.txt list-1m.txt; do
    echo
    echo "## $list"
    scripts/wine-session.sh "$WIN_BUILD_DIR" wine "$WIN_BUILD_DIR/bin/client-bench.exe" \
        --pathlist "$(windows_path "$BENCH_DIR/$list")" --queries "$(windows_path bench/queries.txt)" \
        --repeat "$REPEAT"
done
