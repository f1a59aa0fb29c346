#!/usr/bin/env bash
# Lists every writable variable with static storage in the layer libraries (namespace-scope and
# static variables, function-local statics included) and fails on one that is not allowed
# below. Game state is passed in records, never kept in a global; the few process-wide
# variables that remain are named here with the reason they may stay.
#
# The symbols come from the built libraries (libtarvex_*.a): a variable is writable when it
# lives in .data or .bss (thread-local ones in .tdata or .tbss). Constants sit in .rodata or
# .data.rel.ro and are not listed; guard variables, vtables, typeinfo and the compiler's and
# sanitizers' own symbols (names starting with "__" or "DW.ref.") are not variables of ours. A
# constant that needs a constructor at run time is stored as writable and listed too: make it
# constexpr.
# usage: check_globals.sh BUILD_DIR
set -u
build=${1:?usage: check_globals.sh BUILD_DIR}

# library|name|reason: an allowed variable (its library and demangled name) and why it may stay.
allowed='
libtarvex_core.a|tarvex::(anonymous namespace)::CurrentSink()::sink|the console sink: all output goes through it, and tests swap it to capture the text
libtarvex_core.a|tarvex::(anonymous namespace)::SinkMutex()::mutex|guards the console sink
libtarvex_core.a|tarvex::(anonymous namespace)::gReports|the error-report counter, process-wide like the reports it counts
libtarvex_board.a|tarvex::(anonymous namespace)::Cache()::cache|the 3D direction tables of each attack-board placement: immutable once built, built under its mutex
libtarvex_rules.a|tarvex::(anonymous namespace)::Shared()::cache|the line and reach tables of each placement: immutable once built, built under its mutex
libtarvex_engine.a|tarvex::engine::BuiltInParameters()::book|the built-in parameter book: read once from the compiled-in text, constant after
libtarvex_ui.a|tarvex::ui::(anonymous namespace)::gApp|the application record: GLUT callbacks take no argument, so they reach it through this one pointer, set in main
libtarvex_ui.a|tarvex::ui::(anonymous namespace)::gModelLists|the piece models compiled once into the GL context of the window, used on the main thread only
'

# The libraries of today's layers, one per folder of src/ (a build folder may still hold the
# library of a layer that has since been renamed).
top=$(cd "$(dirname "$0")/../.." && pwd)
libraries=()
for dir in "$top"/src/*/; do
    library="$build/libtarvex_$(basename "$dir").a"
    [ -f "$library" ] && libraries+=("$library")
done
if ((${#libraries[@]} == 0)); then
    echo "no layer libraries in $build: build first"
    exit 2
fi

# One "library|name" line per writable variable; a variable defined in several libraries (an
# inline variable of a header) is named once, with the first of them.
variables=$(for library in "${libraries[@]}"; do
    nm -C --defined-only --format=sysv "$library" 2>/dev/null |
        awk -F'|' -v lib="$(basename "$library")" 'NF >= 7 {
            name = $1; section = $7
            sub(/ +$/, "", name); gsub(/^ +| +$/, "", section)
            if (section !~ /^\.(data|bss|tdata|tbss)/ || section ~ /^\.data\.rel\.ro/) next
            if (name ~ /^(guard variable for|vtable for|typeinfo|__|DW\.ref\.)/ || name ~ /^\./) next
            print lib "|" name
        }'
done | sort -u)

failures=0
while IFS='|' read -r library name; do
    [ -z "$name" ] && continue
    reason=$(awk -F'|' -v l="$library" -v n="$name" '$1 == l && $2 == n { print $3 }' <<<"$allowed")
    if [ -n "$reason" ]; then
        echo "allowed  $library  $name: $reason"
    else
        echo "GLOBAL   $library  $name"
        failures=$((failures + 1))
    fi
done < <(awk -F'|' '!seen[$2]++' <<<"$variables")

if [ "$failures" -gt 0 ]; then
    echo "$failures mutable globals that are not allowed: pass the state in a record instead"
    exit 1
fi
echo "no mutable globals beyond the allowed ones"
