#!/usr/bin/env bash
# The engine benchmark, side by side with plocate and the memory-scan floor, in
# one run. Builds the native preset, generates (or reuses) the workload, runs
# everything and prints one table per figure set, then one line per target.
#
#   bench/run-engine-bench.sh
#
# BUILD_DIR (default build/native): where the native preset is built.
# BENCH_DIR (default build/bench-data): the generated lists, the 1M tree on
#   disk, the index files and the plocate database. Big; reused when the
#   generator has not changed.
# REPEAT (default 5): runs behind every median; REPEAT_10M (default 3) for
#   the 10M queries, which take ten times as long.
#
# How plocate is asked the same question (it matches globs or substrings of
# the whole path, and ANDs its patterns):
#   plain, quoted and wildcard terms   plocate -i -b TERM...  (-b: name only)
#   a term with \                      no -b, \ becomes /, a leading c:\ the tree root
#   a term with |                      --regex, the alternatives as one expression
#   a term with !                      no equivalent: engine only
# A query mixing a path term with name terms runs without -b, so its name
# terms match the whole path there: its plocate count is marked "~".
# The independent reference count comes from find's listing of the same disk
# tree, filtered with grep -iE, one expression per term: the name column for
# plain and wildcard terms, the path column for path terms, alternatives for
# |, grep -v for !.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

BUILD_DIR=${BUILD_DIR:-build/native}
BENCH_DIR=${BENCH_DIR:-build/bench-data}
REPEAT=${REPEAT:-5}
REPEAT_10M=${REPEAT_10M:-3}
TYPING_WORD=${TYPING_WORD:-report}
# Case folding in grep and plocate follows the locale; EPOCHREALTIME needs a dot.
export LC_ALL=C.UTF-8
TAB=$'\t'

scripts/install-deps.sh plocate time

log() { printf '%s\n' "$*" >&2; }

# --- build ---------------------------------------------------------------------

build_tools() {
    log "building preset native in $BUILD_DIR"
    cmake --preset native -B "$BUILD_DIR" >"$BENCH_DIR/cmake.log" 2>&1 &&
        cmake --build "$BUILD_DIR" -j2 --target gen-tree scan-floor engine-bench >>"$BENCH_DIR/cmake.log" 2>&1 ||
        { tail -40 "$BENCH_DIR/cmake.log"; exit 1; }
    GEN_TREE=$BUILD_DIR/bench/workload/gen-tree
    SCAN_FLOOR=$BUILD_DIR/bench/workload/scan-floor
    ENGINE_BENCH=$BUILD_DIR/bench/engine-bench/engine-bench
}

# --- workload --------------------------------------------------------------------

# The generator's sources decide the tree; data made by other sources is stale.
workload_id() {
    cat bench/workload/{random.h,name_pool.*,tree_generator.*,disk_tree.*,gen_tree.cpp} | sha256sum | cut -c1-16
}

is_current() { [[ -f $1.id && $(cat "$1.id") == "$(workload_id)" ]]; }

make_list() { # make_list COUNT FILE
    if is_current "$2"; then log "reusing $2"; return; fi
    log "generating $2"
    "$GEN_TREE" --count "$1" --list "$2.partial" 2>"$2.stats"
    mv "$2.partial" "$2"
    workload_id >"$2.id"
}

make_disk_tree() { # make_disk_tree COUNT FOLDER: the drive lands in FOLDER/C
    if is_current "$2"; then log "reusing $2"; return; fi
    log "writing $2 (a million empty files, once)"
    rm -rf "$2" "$2.partial"
    mkdir -p "$2.partial"
    "$GEN_TREE" --count "$1" --tree "$2.partial/C" 2>"$2.stats"
    mv "$2.partial" "$2"
    workload_id >"$2.id"
}

# --- timing ----------------------------------------------------------------------


median() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

# Median wall time of a whole process, in ms, after one warm-up run. The clock
# is read in place: a $(...) around each reading would add two forks to every
# figure. EPOCHREALTIME without its dot counts microseconds.
process_ms() {
    "$@" >/dev/null 2>&1 || true
    local i start end
    for ((i = 0; i < REPEAT; i++)); do
        start=$EPOCHREALTIME
        "$@" >/dev/null 2>&1 || true
        end=$EPOCHREALTIME
        echo $((${end/./} - ${start/./}))
    done | median | awk '{printf "%.2f", $1 / 1000}'
}

max_rss_kb() { # max_rss_kb OUT COMMAND...: runs COMMAND, stdout to OUT, prints its peak RSS
    local out=$1; shift
    /usr/bin/time -f '%M' -o "$BENCH_DIR/rss" "$@" >"$out" || { log "failed: $*"; return 1; }
    cat "$BENCH_DIR/rss"
}

# --- query translation -------------------------------------------------------------

# Splits a query into terms at spaces outside double quotes (quotes stay).
split_terms() {
    TERMS=()
    local query=$1 term="" quoted="" i c
    for ((i = 0; i < ${#query}; i++)); do
        c=${query:i:1}
        if [[ $c == '"' ]]; then
            if [[ -n $quoted ]]; then quoted=""; else quoted=1; fi
            term+=$c
        elif [[ $c == ' ' && -z $quoted ]]; then [[ -n $term ]] && TERMS+=("$term"); term=""
        else term+=$c; fi
    done
    [[ -n $term ]] && TERMS+=("$term")
    return 0
}

# Every character literal in a POSIX extended expression: specials go in brackets.
regex_escape() {
    local text=$1 regex="" i c specials='][.*+?(){}|$\'
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        if [[ $c == '^' ]]; then regex+='\^'
        elif [[ $specials == *"$c"* ]]; then regex+="[$c]"
        else regex+=$c; fi
    done
    echo "$regex"
}

# A wildcard term over a whole name: * is any run of characters, ? one character.
wildcard_regex() {
    local pattern=$1 regex="" i c
    for ((i = 0; i < ${#pattern}; i++)); do
        c=${pattern:i:1}
        case $c in
        '*') regex+="[^$TAB]*" ;;
        '?') regex+="[^$TAB]" ;;
        *) regex+=$(regex_escape "$c") ;;
        esac
    done
    echo "$regex"
}

# The reference count reads find's listing of the disk tree, one "path<TAB>name"
# line per entry, and keeps the lines every term matches: FILTERS holds one
# "+regex" (keep) or "-regex" (drop) per term.
reference_filters() {
    FILTERS=()
    split_terms "$1"
    local term sign alts alt expression path
    for term in "${TERMS[@]}"; do
        sign=+
        [[ $term == '!'* ]] && sign=- && term=${term:1}
        term=${term//\"/}
        IFS='|' read -ra alts <<<"$term"
        expression=""
        for alt in "${alts[@]}"; do
            expression+=${expression:+|}
            if [[ $alt == *\\* && $alt == *[*?]* ]]; then
                # A path pattern covers the whole path column, which leaves out "c:/"; the
                # set's path patterns start with "c:\" or "*\" (any folders, or none).
                path=${alt//\\//}
                if [[ ${path,,} == c:/* ]]; then expression+="^$(wildcard_regex "${path:3}")$TAB"
                else expression+="^([^$TAB]*/)?$(wildcard_regex "${path#\*/}")$TAB"; fi
            elif [[ $alt == *\\* ]]; then
                path=${alt//\\//}
                if [[ ${path,,} == c:/* ]]; then expression+="^$(regex_escape "${path:3}")"
                else expression+="^[^$TAB]*$(regex_escape "$path")"; fi
            elif [[ $alt == *[*?]* ]]; then expression+="$TAB$(wildcard_regex "$alt")\$"
            else expression+="$TAB[^$TAB]*$(regex_escape "$alt")"; fi
        done
        FILTERS+=("$sign($expression)")
    done
}

count_matching() { # count_matching FILTER...: counts the stdin lines the filters keep
    if (($# == 0)); then wc -l; return; fi
    local filter=$1
    shift
    if [[ $filter == +* ]]; then grep -iE -- "${filter:1}" | count_matching "$@"
    else grep -viE -- "${filter:1}" | count_matching "$@"; fi
}

# plocate's arguments for one query, in PLOCATE_ARGS; PLOCATE_MODE is "name",
# "path", "regex", "~" (name terms matched on the whole path) or "" (no equivalent).
plocate_args() {
    split_terms "$1"
    PLOCATE_ARGS=() PLOCATE_MODE=name
    local term has_path="" has_name="" has_or="" patterns=() path alt alts expression
    for term in "${TERMS[@]}"; do
        if [[ $term == '!'* ]]; then PLOCATE_MODE=""; return; fi
        [[ $term == *\\* ]] && has_path=1 || has_name=1
        [[ $term == *'|'* ]] && has_or=1
    done
    if [[ -n $has_or && -n $has_path ]]; then PLOCATE_MODE=""; return; fi
    for term in "${TERMS[@]}"; do
        term=${term//\"/}
        if [[ -n $has_or ]]; then
            IFS='|' read -ra alts <<<"$term"
            expression=""
            for alt in "${alts[@]}"; do expression+="${expression:+|}$(regex_escape "$alt")"; done
            patterns+=("$expression")
        elif [[ $term == *\\* ]]; then
            path=${term//\\//}
            [[ ${path,,} == c:/* ]] && path="$TREE/${path:3}"
            patterns+=("$path")
        else
            patterns+=("$term")
        fi
    done
    PLOCATE_ARGS=(-d "$PLOCATE_DB" -i)
    if [[ -n $has_or ]]; then PLOCATE_ARGS+=(-b --regex); PLOCATE_MODE=regex
    elif [[ -n $has_path ]]; then PLOCATE_MODE=${has_name:+"~"}; PLOCATE_MODE=${PLOCATE_MODE:-path}
    else PLOCATE_ARGS+=(-b); fi
    PLOCATE_ARGS+=(-- "${patterns[@]}")
}

# --- runs --------------------------------------------------------------------------

read_query_set() {
    CATEGORIES=() QUERIES=()
    local category query
    while IFS=$'\t' read -r category query; do
        [[ -z $category || $category == '#'* ]] && continue
        CATEGORIES+=("$category") QUERIES+=("$query")
    done <bench/queries.txt
    printf '%s\n' "${QUERIES[@]}" >"$BENCH_DIR/queries.engine.txt"
}

# run_engine NAME LIST [save]: queries and typing into NAME.run; with "save" also
# the index file, then a run that only loads it into NAME.load. 10M skips the
# save and load: they take a minute and no target asks for them.
run_engine() {
    local name=$1 list=$2 save=() repeat=$REPEAT
    [[ ${3:-} == save ]] && save=(--save "$BENCH_DIR/$name.index")
    [[ $name == 10m ]] && repeat=$REPEAT_10M
    log "engine: $name"
    ENGINE_RSS[$name]=$(max_rss_kb "$BENCH_DIR/$name.run" "$ENGINE_BENCH" --paths "$list" \
        --queries "$BENCH_DIR/queries.engine.txt" --typing "$TYPING_WORD" --repeat "$repeat" "${save[@]}")
    rm -f "$BENCH_DIR/$name.load"
    [[ -z ${3:-} ]] && return
    # The resident set of a process that only loads the index: what the service holds.
    ENGINE_LOAD_RSS[$name]=$(max_rss_kb "$BENCH_DIR/$name.load" "$ENGINE_BENCH" --load "$BENCH_DIR/$name.index")
}

# This machine's virtualisation makes the first touch of a 4 KB page slow (about 16 us, where
# ordinary hardware takes well under 1 us), and a build or a load writes tens of MB of fresh
# memory. The same binary with malloc on 2 MB pages shows how much of those figures that is.
run_large_pages() {
    log "engine: 1m build and load, malloc on 2 MB pages"
    GLIBC_TUNABLES=glibc.malloc.hugetlb=1 "$ENGINE_BENCH" --paths "$BENCH_DIR/list-1m.txt" >"$BENCH_DIR/1m.build-large"
    GLIBC_TUNABLES=glibc.malloc.hugetlb=1 "$ENGINE_BENCH" --load "$BENCH_DIR/1m.index" >"$BENCH_DIR/1m.load-large"
}

engine_field() { # engine_field RUN QUERY COLUMN
    # Through the environment: awk -v would read the \ in a path query as an escape.
    QUERY=$2 awk -F'\t' -v c="$3" '$1 == ENVIRON["QUERY"] && NF == 4 {print $c; exit}' "$BENCH_DIR/$1.run"
}

summary_field() { # summary_field FILE LABEL: the value after LABEL on the summary line
    awk -F'\t' -v l="$2" '$1 == "summary" {for (i = 2; i < NF; i++) if ($i == l) print $(i + 1)}' "$1"
}

run_plocate() {
    log "plocate: indexing $TREE"
    local start end
    start=$EPOCHREALTIME
    updatedb -U "$TREE" -o "$PLOCATE_DB" --prunepaths '' --prunefs '' --prunenames '' \
        --prune-bind-mounts no -l no
    end=$EPOCHREALTIME
    UPDATEDB_MS=$(((${end/./} - ${start/./}) / 1000))
    PROCESS_START_MS=$(process_ms /bin/true)
    PLOCATE_START_MS=$(process_ms plocate -d "$PLOCATE_DB" -c qqqjjjxxx)
    local i
    for i in "${!QUERIES[@]}"; do
        plocate_args "${QUERIES[i]}"
        if [[ -z $PLOCATE_MODE ]]; then
            PL_COUNT[i]="-" PL_COUNT_MS[i]="-" PL_PAGE_MS[i]="-"
            continue
        fi
        log "plocate: ${QUERIES[i]}"
        PL_COUNT[i]=$(plocate -c "${PLOCATE_ARGS[@]}" || true)
        PL_COUNT_MS[i]=$(process_ms plocate -c "${PLOCATE_ARGS[@]}")
        PL_PAGE_MS[i]=$(process_ms plocate -l 40 "${PLOCATE_ARGS[@]}")
    done
}

run_reference_counts() {
    log "find: listing $TREE"
    (cd "$TREE" && find . -mindepth 1 -printf '%P\t%f\n') >"$BENCH_DIR/disk-1m.listing"
    local i
    for i in "${!QUERIES[@]}"; do
        reference_filters "${QUERIES[i]}"
        # grep ends with status 1 when nothing matches; the count of 0 is the answer.
        FIND_COUNT[i]=$(count_matching "${FILTERS[@]}" <"$BENCH_DIR/disk-1m.listing" || true)
    done
}

# --- tables ------------------------------------------------------------------------

# How plocate's count was matched, after the count: nothing for names, p for
# whole paths, r for a regular expression, ~ for name terms matched on the path.
mode_mark() {
    case $PLOCATE_MODE in
    name | "") ;;
    path) echo " p" ;;
    regex) echo " r" ;;
    *) echo " ~" ;;
    esac
}

ratio() { # ratio ENGINE_MS PLOCATE_MS: how many times faster the engine is
    awk -v a="$1" -v b="$2" 'BEGIN {
        if (a + 0 <= 0 || b == "-") print "-"
        else printf "%.1f", b / a }'
}

# The query goes last: Chinese characters take two columns, which printf's
# widths cannot know.
print_query_table() {
    echo
    echo "== Queries, 1M entries: engine in-process (median of $REPEAT), plocate whole process (median of $REPEAT)"
    local row='%-10s %8s %8s %-5s %9s %8s %8s %9s %9s %7s  %s\n'
    printf "$row" category engine find check plocate eng.cnt eng.page pl.count pl.page "x" query
    printf "$row" "" count count "" count ms ms ms ms faster ""
    local i count check
    for i in "${!QUERIES[@]}"; do
        count=$(engine_field 1m "${QUERIES[i]}" 2)
        check=ok
        [[ $count == "${FIND_COUNT[i]}" ]] || check=DIFF
        plocate_args "${QUERIES[i]}"
        printf "$row" "${CATEGORIES[i]}" "$count" "${FIND_COUNT[i]}" "$check" "${PL_COUNT[i]}$(mode_mark)" \
            "$(engine_field 1m "${QUERIES[i]}" 3)" "$(engine_field 1m "${QUERIES[i]}" 4)" \
            "${PL_COUNT_MS[i]}" "${PL_PAGE_MS[i]}" \
            "$(ratio "$(engine_field 1m "${QUERIES[i]}" 4)" "${PL_COUNT_MS[i]}")" "${QUERIES[i]}"
    done
    echo "process start on this machine: /bin/true ${PROCESS_START_MS} ms; plocate with a query that" \
        "matches nothing ${PLOCATE_START_MS} ms (included in every plocate figure)"
    echo "faster = plocate count time / engine count-and-first-page time. The engine's figures exclude" \
        "its process start and index load (the service keeps the index in memory)."
}

print_10m_table() {
    echo
    echo "== Queries, 10M entries: engine in-process (median of $REPEAT_10M)"
    local row='%-10s %9s %9s %9s  %s\n'
    printf "$row" category count "count ms" "page ms" query
    local i
    for i in "${!QUERIES[@]}"; do
        printf "$row" "${CATEGORIES[i]}" "$(engine_field 10m "${QUERIES[i]}" 2)" \
            "$(engine_field 10m "${QUERIES[i]}" 3)" "$(engine_field 10m "${QUERIES[i]}" 4)" "${QUERIES[i]}"
    done
}

print_typing_table() {
    echo
    echo "== Typing \"$TYPING_WORD\": each prefix as typed, count and first page (median of $REPEAT at 1M, $REPEAT_10M at 10M)"
    printf '%-10s %10s %9s %-8s %10s %9s %-8s\n' prefix "1M count" ms how "10M count" ms how
    paste <(awk -F'\t' '$1 == "typing"' "$BENCH_DIR/1m.run") <(awk -F'\t' '$1 == "typing"' "$BENCH_DIR/10m.run") |
        awk -F'\t' '{printf "%-10s %10s %9s %-8s %10s %9s %-8s\n", $2, $3, $4, $5, $8, $9, $10}'
}

per_entry() { # per_entry KB ENTRIES
    awk -v k="$1" -v n="$2" 'BEGIN {if (k != "" && n > 0) printf "%.1f", k * 1024 / n}'
}

print_build_table() {
    echo
    echo "== Build, save, load, memory"
    printf '%-8s %10s %9s %9s %9s %14s %14s %14s\n' entries "build ms" "save ms" "load ms" "index MB" \
        "bytes/entry" "RSS/entry" "RSS/entry"
    printf '%-8s %10s %9s %9s %9s %14s %14s %14s\n' "" "from list" "" "" "" "(allocator)" "(build run)" \
        "(load run)"
    local name entries
    for name in 1m 10m; do
        entries=$(summary_field "$BENCH_DIR/$name.run" entries)
        printf '%-8s %10s %9s %9s %9s %14s %14s %14s\n' "$entries" \
            "$(summary_field "$BENCH_DIR/$name.run" build_ms)" \
            "$(awk -F'\t' '$1 == "save_ms" {print $2}' "$BENCH_DIR/$name.run")" \
            "$(summary_field "$BENCH_DIR/$name.load" load_ms 2>/dev/null)" \
            "$(stat -c %s "$BENCH_DIR/$name.index" 2>/dev/null | awk '{printf "%.0f", $1 / 1e6}')" \
            "$(summary_field "$BENCH_DIR/$name.run" bytes_per_entry)" \
            "$(per_entry "${ENGINE_RSS[$name]}" "$entries")" \
            "$(per_entry "${ENGINE_LOAD_RSS[$name]:-}" "$entries")"
    done
    echo "allocator = bytes the engine allocated and kept across the build; RSS = peak resident set of the" \
        "whole process (the build run also holds the path list text while building)."
    echo "1M with malloc on 2 MB pages (GLIBC_TUNABLES=glibc.malloc.hugetlb=1), which spares most first" \
        "touches of fresh pages: build $(summary_field "$BENCH_DIR/1m.build-large" build_ms) ms," \
        "load $(summary_field "$BENCH_DIR/1m.load-large" load_ms) ms"
    echo "plocate: updatedb over the 1M disk tree ${UPDATEDB_MS} ms, database $(($(stat -c %s "$PLOCATE_DB") / 1000000)) MB"
}

print_workload_and_floor() {
    echo
    echo "== Workload (gen-tree, fixed random start value)"
    local name
    for name in list-1m.txt list-10m.txt; do
        echo "$name:"
        sed 's/^/  /' "$BENCH_DIR/$name.stats"
    done
    echo
    echo "== Memory-scan floor: one thread, memchr over all names packed in one buffer (median of 9)"
    printf '%-10s %12s %10s %8s\n' names "name bytes" ms "GB/s"
    for name in list-1m.txt list-10m.txt; do
        "$SCAN_FLOOR" --paths "$BENCH_DIR/$name" | awk -F'\t' '{printf "%-10s %12s %10s %8s\n", $1, $2, $3, $4}'
    done
}

# --- targets -----------------------------------------------------------------------

verdict() { # verdict MET TEXT DETAIL
    if [[ $1 == 1 ]]; then printf '  met     %-68s %s\n' "$2" "$3"
    else printf '  MISSED  %-68s %s\n' "$2" "$3"; fi
}

target() { # target WORST LIMIT TEXT DETAIL: met when WORST < LIMIT
    verdict "$(awk -v w="$1" -v l="$2" 'BEGIN {print (w != "" && w + 0 < l + 0)}')" "$3" "$4"
}

target_above() { # target_above LEAST LIMIT TEXT DETAIL: met when LEAST > LIMIT
    verdict "$(awk -v w="$1" -v l="$2" 'BEGIN {print (w != "" && w + 0 > l + 0)}')" "$3" "$4"
}

lower() { [[ -z $2 ]] || awk -v a="$1" -v b="$2" 'BEGIN {exit !(a + 0 < b + 0)}'; } # lower A B: A < B, or no B yet

# Worst page time over the queries whose category matches REGEX: "ms query".
worst_page() { # worst_page RUN REGEX
    local i
    for i in "${!QUERIES[@]}"; do
        [[ ${CATEGORIES[i]} =~ ^($2)$ ]] || continue
        echo "$(engine_field "$1" "${QUERIES[i]}" 4) ${QUERIES[i]}"
    done | sort -g | tail -1
}

print_targets() {
    echo
    echo "== Targets"
    local any="1-char|2-char|3-char|common|rare|full-name|multi-term|wildcard|path|path-pattern|or|not|quoted|folding"
    local three="3-char|common|rare|full-name|folding" worst limit
    for run in 1m 10m; do
        [[ $run == 1m ]] && limit=10 || limit=100
        worst=$(worst_page $run "$any")
        target "${worst%% *}" $limit "$run: any query, count + first page, under $limit ms" "worst ${worst%% *} ms (${worst#* })"
        [[ $run == 1m ]] && limit=3 || limit=30
        worst=$(worst_page $run "$three")
        target "${worst%% *}" $limit "$run: 3+ characters, under $limit ms" "worst ${worst%% *} ms (${worst#* })"
    done
    # One more character: each prefix whose previous prefix had under 100k results.
    worst=$(awk -F'\t' '$1 == "typing" {if (prev != "" && prev < 100000 && $4 + 0 > w + 0) {w = $4; q = $2}; prev = $3}
        END {print w, q}' "$BENCH_DIR/10m.run")
    target "${worst%% *}" 5 "10m: one more character typed (previous results under 100k), under 5 ms" \
        "worst ${worst%% *} ms (${worst#* })"
    local slowest="" least="" i r
    for i in "${!QUERIES[@]}"; do
        [[ ${PL_COUNT_MS[i]} == - ]] && continue
        r=$(ratio "$(engine_field 1m "${QUERIES[i]}" 4)" "${PL_COUNT_MS[i]}")
        [[ $r == - ]] && continue
        lower "$r" "${slowest%% *}" && slowest="$r ${QUERIES[i]}"
        [[ ${CATEGORIES[i]} =~ ^[123]-char$ ]] && lower "$r" "${least%% *}" && least="$r ${QUERIES[i]}"
    done
    target_above "${slowest%% *}" 1 "1m: faster than plocate on every query" "least ${slowest%% *}x (${slowest#* })"
    target_above "${least%% *}" 19.95 "1m: 20x or more on 1- to 3-character queries" \
        "least ${least%% *}x (${least#* })"
    local build load bytes
    build=$(summary_field "$BENCH_DIR/1m.run" build_ms)
    load=$(summary_field "$BENCH_DIR/1m.load" load_ms)
    bytes=$(summary_field "$BENCH_DIR/1m.run" bytes_per_entry)
    target "$build" 1000 "1m: build from the path list under 1 s" "$build ms"
    target "$load" 200 "1m: load from the index file under 0.2 s" "$load ms"
    build=$(summary_field "$BENCH_DIR/1m.build-large" build_ms)
    load=$(summary_field "$BENCH_DIR/1m.load-large" load_ms)
    target "$build" 1000 "1m: build from the path list under 1 s, malloc on 2 MB pages" "$build ms"
    target "$load" 200 "1m: load from the index file under 0.2 s, malloc on 2 MB pages" "$load ms"
    target "$bytes" 64 "1m: under 64 bytes per entry (allocator)" "$bytes bytes"
    bytes=$(per_entry "${ENGINE_LOAD_RSS[1m]}" "$(summary_field "$BENCH_DIR/1m.load" entries)")
    target "$bytes" 64 "1m: under 64 bytes per entry (peak of a process that only loads)" "$bytes bytes"
    local mismatches=0
    for i in "${!QUERIES[@]}"; do
        [[ $(engine_field 1m "${QUERIES[i]}" 2) == "${FIND_COUNT[i]}" ]] || mismatches=$((mismatches + 1))
    done
    target "$mismatches" 1 "1m: engine counts equal find's on every query" "$mismatches differ"
}

# --- main --------------------------------------------------------------------------

mkdir -p "$BENCH_DIR"
build_tools
make_list 1M "$BENCH_DIR/list-1m.txt"
make_list 10M "$BENCH_DIR/list-10m.txt"
make_disk_tree 1M "$BENCH_DIR/disk-1m"
TREE=$(realpath "$BENCH_DIR/disk-1m/C")
PLOCATE_DB=$(realpath "$BENCH_DIR")/plocate-1m.db
read_query_set

declare -A ENGINE_RSS ENGINE_LOAD_RSS
declare -a PL_COUNT PL_COUNT_MS PL_PAGE_MS FIND_COUNT
run_engine 1m "$BENCH_DIR/list-1m.txt" save
run_engine 10m "$BENCH_DIR/list-10m.txt"
run_large_pages
run_plocate
run_reference_counts

echo "Engine benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
print_workload_and_floor
print_query_table
print_10m_table
print_typing_table
print_build_table
print_targets
