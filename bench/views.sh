#!/usr/bin/env bash
# The view transitions on a real X display (Xvfb): medians with effects off over N rounds
# (default 50), durations with effects on, and the overview compared pixel by pixel after both.
# Usage: bench/views.sh [path to bench_views] [N] [folder for the two screenshots]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/bin/bench_views}")
xvfb-run -a -s "-screen 0 1024x768x24" "$bin" "${2:-50}" "${3:-}"
