#!/usr/bin/env bash
# clang-tidy over the project's own sources (.clang-tidy says which checks),
# and clang-format over every source file: either finding fails.
# Needs the Release build's compile_commands.json (scripts/test.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
mapfile -t sources < <(git ls-files 'ondrel/*.cpp' 'kro/*.cpp' 'kom/*.cpp' 'tickwell/*.cpp' 'tools/*.cpp')
mapfile -t formatted < <(git ls-files '*.cpp' '*.h')

echo "== clang-format (${#formatted[@]} files) =="
clang-format --dry-run --Werror "${formatted[@]}"

echo "== clang-tidy (${#sources[@]} files) =="
# GCC's own warning options mean nothing to clang: not a finding.
run-clang-tidy -quiet -p "$build" -j 2 -extra-arg=-Wno-unknown-warning-option "${sources[@]/#/$PWD/}" \
    > "$build/clang-tidy.log" 2>&1 || {
    grep -E "warning:|error:" "$build/clang-tidy.log" | sort -u
    echo "clang-tidy found the above" >&2
    exit 1
}
