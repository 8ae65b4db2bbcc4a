#!/usr/bin/env bash
# Formats every C++ file in src, tests and bench with the project's .clang-format.
# With --check it changes nothing and fails when a file is not formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(-i)
[[ "${1:-}" == "--check" ]] && mode=(--dry-run --Werror)

git ls-files -z --cached --others --exclude-standard -- 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.h' 'bench/*.cpp' |
    xargs -0 clang-format "${mode[@]}"
