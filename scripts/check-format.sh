#!/usr/bin/env bash
# Fails when a source file differs from .clang-format; pass --fix to reformat in place.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'src/*.cpp' 'src/*.h' 'sim/*.cpp' 'sim/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h')
((${#files[@]})) || exit 0
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run --Werror "${files[@]}"
    echo "Formatting: ${#files[@]} files clean"
fi
