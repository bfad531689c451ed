#!/usr/bin/env bash
# Builds Sheetcraft on Debian 12, installing whatever packages are missing.
#   tools/build.sh run    build and start the program
#   tools/build.sh test   build with AddressSanitizer/UBSan and run every test
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
if [[ $mode != run && $mode != test ]]; then
    echo "usage: $0 run|test" >&2
    exit 2
fi

packages=(build-essential cmake pkg-config qt6-base-dev libgl-dev mdbtools mdbtools-dev
          libgtest-dev libgmock-dev libbenchmark-dev poppler-utils fontconfig fonts-dejavu-core
          fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache, where the machine has one, makes rebuilds in several checkouts cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [[ $mode == run ]]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETCRAFT_TESTS=OFF -DSHEETCRAFT_BENCH=OFF "${launcher[@]}"
    cmake --build build -j"$jobs"
    exec build/windows/sheetcraft "${@:2}"
fi

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSHEETCRAFT_SANITIZE=ON "${launcher[@]}"
cmake --build build-test -j"$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 600
