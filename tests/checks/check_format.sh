#!/usr/bin/env bash
# Checks that every C++ source of the repository is formatted by the repository's .clang-format.
# usage: check_format.sh SOURCE_DIR
set -u
top=${1:?usage: check_format.sh SOURCE_DIR}
cd "$top" || exit 2
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed (run scripts/deps.sh)"
    exit 1
fi
git ls-files -co --exclude-standard -- '*.h' '*.cpp' '*.h.in' |
    grep -v '^build' | xargs clang-format --dry-run -Werror
