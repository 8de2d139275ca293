#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs every test with ctest, four times over:
#   build/       the program as shipped (gcc, warnings as errors under CI);
#   build-asan/  the same suite under AddressSanitizer and UBSan;
#   build-tsan/  the same suite under ThreadSanitizer;
#   build-fuzz/  the fuzz targets of the data-file readers (clang's libFuzzer), 60 s each.
# MORLANZ_TEST_QUICK=1 runs the first stage only.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON

echo "== Tests"
(cd "$root/build" && ctest --output-on-failure --timeout 600)
[[ "${MORLANZ_TEST_QUICK:-}" == "1" ]] && exit 0

echo "== Tests under AddressSanitizer and UBSan"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORLANZ_ASAN=ON \
      -DMORLANZ_BENCH=OFF -DMORLANZ_WERROR="$werror"
cmake --build "$root/build-asan" --parallel "$jobs"
(cd "$root/build-asan" && ctest --output-on-failure --timeout 900)

echo "== Tests under ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORLANZ_TSAN=ON \
      -DMORLANZ_BENCH=OFF -DMORLANZ_WERROR="$werror"
cmake --build "$root/build-tsan" --parallel "$jobs"
(cd "$root/build-tsan" && ctest --output-on-failure --timeout 1200)

echo "== Fuzz targets"
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DMORLANZ_FUZZ=ON -DMORLANZ_BENCH=OFF
cmake --build "$root/build-fuzz" --parallel "$jobs" --target fuzz_inifile fuzz_catalogue
(cd "$root/build-fuzz" && ctest --output-on-failure)
