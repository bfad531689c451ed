#!/usr/bin/env bash
# Builds Sheetcraft on Debian 12, installing whatever packages are missing.
#   tools/build.sh run    build and start the program (CMake preset "default")
#   tools/build.sh test   build with AddressSanitizer/UBSan, warnings as errors,
#                         and run every test (preset "sanitizer", as CI does)
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
if [[ $mode != run && $mode != test ]]; then
    echo "usage: $0 run|test" >&2
    exit 2
fi

# libqt6svg6 brings Qt's SVG icon engine, which draws the program's icon;
# libqt6sql6-psql and libpq-dev the order server; postgresql the throw-away
# server the tests start (tools/pgserver.sh).
packages=(build-essential cmake pkg-config qt6-base-dev libqt6svg6 libgl-dev mdbtools mdbtools-dev
          libgtest-dev libgmock-dev libbenchmark-dev poppler-utils fontconfig fonts-dejavu-core
          fonts-liberation2 coinor-libcbc-dev coinor-libclp-dev libqt6sql6-psql libpq-dev postgresql)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    # The tests start throw-away servers of their own: the package is not to
    # create and start a server of its own that would outlive the run.
    if [[ " ${missing[*]} " == *" postgresql "* && ! -e /etc/postgresql-common/createcluster.conf ]]; then
        "${sudo[@]}" mkdir -p /etc/postgresql-common
        echo "create_main_cluster = false" | "${sudo[@]}" tee /etc/postgresql-common/createcluster.conf >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive UCF_FORCE_CONFFOLD=1 "${sudo[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache, where the machine has one, makes rebuilds in several checkouts cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [[ $mode == run ]]; then
    cmake --preset default "${launcher[@]}"
    cmake --build --preset default -j"$jobs"
    exec build/windows/sheetcraft "${@:2}"
fi

# The test preset sets the offscreen platform and the sanitizer options.
cmake --preset sanitizer "${launcher[@]}"
cmake --build --preset sanitizer -j"$jobs"
ctest --preset sanitizer -j"$jobs"
