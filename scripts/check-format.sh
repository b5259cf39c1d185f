#!/usr/bin/env bash
# Checks that every tracked C++ file is laid out as the repository's .clang-format says, with
# clang-format 14 (Debian 12's). CI runs it before the tests; to fix a file:
#     clang-format-14 -i <file>
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "check-format: clang-format 14 is not installed (scripts/setup-deps.sh installs it)" >&2
    exit 2
fi
git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$format" --dry-run -Werror
echo "check-format: every C++ file is formatted"
