#!/usr/bin/env bash
# Sets up what is missing, builds the program and opens its window.
# Only the program and the plugins it loads are built, not the tests.
set -euo pipefail
# A FILE argument is taken from the caller's directory.
start_dir=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")"
echo "run.sh: checking the Debian packages (scripts/debian-packages.txt)"
bash scripts/setup.sh
echo "run.sh: building the program in build/release (the first time takes a few minutes)"
cmake --preset release >/dev/null
cmake --build --preset release --target soramina
app=$PWD/build/release/src/app/soramina
echo "run.sh: opening the window"
cd "$start_dir"
exec "$app" "$@"
