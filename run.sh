#!/usr/bin/env bash
# Sets up what is missing, builds the program and opens its window.
set -euo pipefail
# A FILE argument is taken from the caller's directory.
start_dir=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
app=$PWD/build/release/src/app/soramina
cd "$start_dir"
exec "$app" "$@"
