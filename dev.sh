#!/usr/bin/env bash
# One entry point for developers and CI: installs what is missing, builds and
# runs. Usage: ./dev.sh run | test | bench | screenshot | build
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev qt6-svg-dev
  libbenchmark-dev libcli11-dev nlohmann-json3-dev qt6-base-dev xvfb xauth fonts-dejavu-core fonts-liberation time locales)

setup() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
  done
  if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  # Tests read numbers under a Russian locale, as the shop's desktops run.
  if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
}

# build DIR [cmake options...]
build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

demo() {
  local h33=build/src/cli/h33
  for command in "time examples/pocket.up" "check examples/pocket.up" "check examples/pocket.ptp"; do
    echo "== h33 $command"
    $h33 $command || true
  done
  echo "== h33 --help"
  $h33 --help
}

run_tests() {
  local dir=$1
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
}

case "${1:-}" in
  build)
    setup
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ;;
  run)
    setup
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_BUILD_TESTS=OFF -DH33_BUILD_BENCH=OFF
    if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
      exec build/src/ui/h33feed examples
    fi
    echo "== no display to open the window on: the command-line demo instead"
    demo
    ;;
  screenshot)
    setup
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_BUILD_BENCH=OFF
    mkdir -p docs/screenshots
    xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/h33_screenshots docs/screenshots examples
    build/src/cli/h33 plot examples/pocket.up -o docs/plot-pocket.png
    ;;
  test)
    setup
    echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DH33_SANITIZE=ON -DH33_WERROR=ON -DH33_BUILD_BENCH=OFF
    run_tests build-asan
    echo "== release build"
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_WERROR=ON
    run_tests build
    ;;
  bench)
    setup
    build build-release -DCMAKE_BUILD_TYPE=Release -DH33_BUILD_TESTS=OFF
    bench/run.sh build-release
    ;;
  *)
    echo "usage: $0 run | test | bench | screenshot | build" >&2
    exit 2
    ;;
esac
