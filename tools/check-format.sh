#!/bin/sh
# Fails when a C or C++ file of the repository is not formatted by the committed .clang-format.
set -eu
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run -Werror
