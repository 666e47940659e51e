#!/usr/bin/env bash
# Sets up what is missing, then builds and runs the whole test suite twice:
# in the debug build and in the AddressSanitizer/UBSan build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
bash scripts/setup.sh

status=0
for preset in dev asan; do
    echo "=== $preset build ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" || status=1
done
exit $status
