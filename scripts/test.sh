#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs every test with ctest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
cd "$root/build"
ctest --output-on-failure --timeout 600
