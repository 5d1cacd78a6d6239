#!/usr/bin/env bash
# Every C++ file of the repository is formatted as .clang-format says.
set -euo pipefail
cd "$1"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
