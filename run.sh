#!/usr/bin/env bash
# Sets up what is missing, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
app=./build/release/src/app/soramina
if [[ ! -x $app ]]; then
    echo "run: built the libraries; the window itself is not part of the build yet."
    exit 0
fi
exec "$app" "$@"
