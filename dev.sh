#!/usr/bin/env bash
# Set-up, build, run and test Vorlix on Debian 12.
#   ./dev.sh run    install what is missing, build, start the emulator (further arguments,
#                   such as --no-sound, go to the emulator)
#   ./dev.sh test   install what is missing, build, run every test (plain and sanitized)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libsdl2-dev libpng-dev libx11-dev libxtst-dev sdcc xvfb xauth)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1; shift
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build build
    cd build/runtime
    if [ -x ../shell/vorlix ]; then
        exec ../shell/vorlix "${@:2}"
    fi
    exec ../tools/vorlix-headless --frames 50 --screen
    ;;
test)
    install_missing
    build build
    (cd build && ctest --output-on-failure -j "$(nproc)")
    build build-asan -DVORLIX_SANITIZE=ON -DVORLIX_BENCH=OFF
    cd build-asan && ctest --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
