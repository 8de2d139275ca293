#!/usr/bin/env bash
# The editor's folder tree against QFileSystemModel in a QTreeView on a real X display (Xvfb): a
# folder of 20,000 files, and opening a folder of 1,000 subfolders; medians over N rounds (default 7)
# and the longest pause of the user-interface thread.
# Usage: bench/tree.sh [path to bench_tree] [N] [files in the first folder, default 20000]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/bin/bench_tree}")
xvfb-run -a -s "-screen 0 1024x768x24" "$bin" "${2:-7}" "${3:-20000}"
