#!/usr/bin/env bash
# One entry point for developers and CI: installs what is missing, builds and
# runs. Usage: ./dev.sh run | test | check | windows | bench | screenshot | build | package | fuzz [SECONDS]
set -euo pipefail
cd "$(dirname "$0")"
VERB=${1:-}

PACKAGES=(build-essential cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev qt6-svg-dev
  libbenchmark-dev libcli11-dev nlohmann-json3-dev qt6-base-dev qt6-translations-l10n xvfb xauth fonts-dejavu-core fonts-liberation time locales
  clang-14 libclang-rt-14-dev dpkg-dev desktop-file-utils file
  g++-mingw-w64-x86-64-posix wine wine64 nsis)

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

# build DIR [cmake options...]. The verbs share build folders, and CMake keeps
# an option's last value: each verb names the parts it needs, or a run would
# leave out what the one before switched off.
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

# make_package DIR: the .deb of what DIR holds built, in DIR/packages.
make_package() {
  local dir=$1
  cpack --config "$dir/CPackConfig.cmake" -B "$dir/packages" | grep "package:"
}

# try_package DIR: installs DIR's .deb as a user would, tries what it put in
# place against the build it came from, and removes it again.
try_package() {
  local dir=$1 examples=/usr/share/h33feed/examples
  if dpkg-query -W -f='${Status}' h33feed 2>/dev/null | grep -q "ok installed"; then
    echo "== h33feed is installed on this machine already: its package is left untried"
    return
  fi
  dpkg -i "$dir"/packages/h33feed_*.deb >/dev/null
  trap 'dpkg -r h33feed >/dev/null' EXIT
  h33 time "$examples/pocket.up" | tee "$dir/packages/time.txt"
  "$dir/src/cli/h33" time examples/pocket.up | cmp - "$dir/packages/time.txt"
  h33-plot "$examples/pocket.up" -o "$dir/packages/pocket.png"
  desktop-file-validate /usr/share/applications/h33feed.desktop
  test -f /usr/share/icons/hicolor/scalable/apps/h33feed.svg
  test -f /usr/share/doc/h33feed/copyright
  zcat /usr/share/man/man1/h33.1.gz | grep -q '^\.TH H33 1'
  # The window runs until it is stopped; one that cannot start ends at once.
  local status=0
  xvfb-run -a timeout 5 h33feed "$examples" 2>/dev/null || status=$?
  if ((status != 124)); then
    echo "== the installed h33feed ended with $status instead of running" >&2
    return 1
  fi
  dpkg -r h33feed >/dev/null
  trap - EXIT
}

# The Windows build: h33.exe, the window h33feed.exe and their tests
# cross-compiled with MinGW-w64 (cmake/mingw-w64-x86_64.cmake, GoogleTest from
# Debian's sources), run under Wine (64-bit only: no i386 architecture needed).
# The window is built against a static Qt made from Debian's own qtbase
# sources (packaging/windows/build-qt.sh), once per machine, kept in
# $H33_CACHE (by default ~/.cache/h33feed); without it only h33.exe is built.
H33_CACHE=${H33_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/h33feed}

# apt-get source needs a deb-src line for the archive the deb lines use.
enable_source_packages() {
  grep -rqsE '^(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ && return
  local archive suite
  # A machine may have either kind of list, or none: no match is no failure.
  archive=$(grep -hsE '^URIs:' /etc/apt/sources.list.d/*.sources | grep -v security | head -1 | awk '{print $2}' || true)
  archive=${archive:-$(grep -hsE '^deb ' /etc/apt/sources.list | grep -v security | head -1 | awk '{print $2}' || true)}
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "${archive:-http://deb.debian.org/debian}" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg \
    >/etc/apt/sources.list.d/h33feed-sources.sources
  apt-get update -qq
}

windows_qt() {
  enable_source_packages
  packaging/windows/build-qt.sh "$H33_CACHE" >/dev/null
}

# windows_tests [QT_PREFIX]: with a Windows Qt, the window and its tests too.
windows_tests() {
  local window=(-DH33_BUILD_GUI=OFF)
  [[ -n ${1:-} ]] && window=(-DH33_BUILD_GUI=ON "-DCMAKE_PREFIX_PATH=$1")
  # -O2 as the native release build: GCC 12's -O3 warns falsely (-Wrestrict)
  # inside libstdc++'s string concatenation.
  build build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" "${window[@]}" -DH33_BUILD_BENCH=OFF -DH33_GTEST_FROM_SOURCE=ON -DH33_WERROR=ON
  (cd build-windows && ctest --output-on-failure -j "$(nproc)")
}

# Both Windows steps of the test verb: the window's only where its Qt is.
windows_steps() {
  step "Qt for Windows (built once per machine, kept in $H33_CACHE)" windows_qt
  if step_passed; then
    step "Windows build (MinGW-w64): h33.exe, h33feed.exe, the installer and their tests under Wine" \
      windows_tests "$(packaging/windows/build-qt.sh "$H33_CACHE")"
  else
    skip_step "the window h33feed.exe, the installer and their tests under Wine" "Qt for Windows"
    step "Windows build (MinGW-w64): h33.exe and the core's tests under Wine" windows_tests
  fi
}

# The libFuzzer targets of fuzz/, built with clang's fuzzer and sanitizers.
build_fuzzers() {
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DH33_FUZZ=ON -DH33_WERROR=ON -DH33_BUILD_GUI=OFF -DH33_BUILD_TESTS=OFF -DH33_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$(nproc)" --target fuzzers
}

# run_fuzzers SECONDS: each target in turn for that long, starting from its
# seeds in fuzz/corpus and what earlier runs kept in build-fuzz/corpus. A crash
# or a broken property fails the run and leaves the input in build-fuzz/artifacts.
# The targets' scratch files go to a folder of the run's own, emptied after
# each target: a fuzzer that ends on its time limit runs no clean-up of its own.
run_fuzzers() {
  local seconds=$1 failed=() scratch=build-fuzz/scratch
  mkdir -p build-fuzz/artifacts build-fuzz/logs
  for fuzzer in build-fuzz/fuzz/fuzz_*; do
    [[ -f $fuzzer && -x $fuzzer ]] || continue
    local target=${fuzzer##*/fuzz_} log=build-fuzz/logs/${fuzzer##*/}.log
    mkdir -p "build-fuzz/corpus/$target" "$scratch"
    echo "== fuzz $target for $seconds s"
    if TMPDIR=$PWD/$scratch "$fuzzer" "build-fuzz/corpus/$target" "fuzz/corpus/$target" -max_total_time="$seconds" \
      -max_len=4096 -timeout=60 -dict=fuzz/h33.dict -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
      grep -E "DONE|stat::(number_of_executed_units|average_exec_per_sec)" "$log" || true
    else
      tail -n 40 "$log"
      failed+=("$target")
      # The cause, for the summary at the end (CI shows the end of a run).
      note "fuzz $target: $(grep -m1 -E 'ERROR|SUMMARY|runtime error|Assertion|CHECK|deadly' "$log" || tail -n 1 "$log")"
    fi
    rm -rf "$scratch"
  done
  if ((${#failed[@]})); then
    echo "== fuzzing failed: ${failed[*]} (inputs in build-fuzz/artifacts)" >&2
    return 1
  fi
}

# The steps of the test verb. Each runs to its end or its first failure; a
# failed step does not stop the steps that do not need it, and the summary at
# the end says which ran, which failed and which were left out.
declare -a STEPS_PASSED=() STEPS_FAILED=() STEPS_SKIPPED=()

# step NAME COMMAND...: runs COMMAND in a subshell that stops at its first
# failure, and notes how it ended; step_passed tells of the last one. Never
# call step under if, || or &&: bash ignores set -e in everything run there.
LAST_STEP_STATUS=0
STEP_NOTES=$(mktemp)
trap 'rm -f "$STEP_NOTES"' EXIT

# note TEXT: a line the summary repeats, such as why a step failed.
note() { echo "$*" >>"$STEP_NOTES"; }

step() {
  local name=$1 started=$SECONDS
  shift
  echo "== $name"
  set +e
  (
    set -e
    "$@"
  )
  LAST_STEP_STATUS=$?
  set -e
  if ((LAST_STEP_STATUS == 0)); then
    STEPS_PASSED+=("$name ($((SECONDS - started)) s)")
  else
    # A command that fails without a word of its own still leaves this one.
    echo "== FAILED (exit $LAST_STEP_STATUS): $name" >&2
    STEPS_FAILED+=("$name ($((SECONDS - started)) s)")
  fi
}

step_passed() { ((LAST_STEP_STATUS == 0)); }

skip_step() { STEPS_SKIPPED+=("$1 (needs: $2)"); }

summary() {
  echo "== summary of ./dev.sh ${VERB} ($((SECONDS / 60)) min)"
  local line
  for line in "${STEPS_PASSED[@]}"; do echo "   passed:   $line"; done
  for line in "${STEPS_FAILED[@]}"; do echo "   FAILED:   $line"; done
  for line in "${STEPS_SKIPPED[@]}"; do echo "   left out: $line"; done
  sed 's/^/   note:     /' "$STEP_NOTES"
  ((${#STEPS_FAILED[@]} == 0 && ${#STEPS_SKIPPED[@]} == 0))
}

fuzz_briefly() {
  build_fuzzers
  run_fuzzers 20
}

sanitizer_tests() {
  build build-asan -DCMAKE_BUILD_TYPE=Debug -DH33_SANITIZE=ON -DH33_WERROR=ON -DH33_BUILD_BENCH=OFF
  run_tests build-asan
}

release_build() {
  build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_WERROR=ON -DH33_BUILD_TESTS=ON -DH33_BUILD_BENCH=ON
}

package_tests() {
  make_package build
  try_package build
}

case "${1:-}" in
  build)
    setup
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_BUILD_TESTS=ON -DH33_BUILD_BENCH=ON
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
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DH33_BUILD_TESTS=ON -DH33_BUILD_BENCH=OFF
    mkdir -p docs/screenshots
    xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/h33_screenshots docs/screenshots examples
    build/src/cli/h33-plot examples/pocket.up -o docs/plot-pocket.png
    ;;
  test)
    setup
    step "fuzzing, briefly (AddressSanitizer, UndefinedBehaviorSanitizer)" fuzz_briefly
    step "sanitizer build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)" sanitizer_tests
    windows_steps
    step "release build" release_build
    if step_passed; then
      step "Debian package, installed and tried" package_tests
      # The release build's test summary comes last before the steps'.
      step "release tests" run_tests build
    else
      skip_step "Debian package, installed and tried" "release build"
      skip_step "release tests" "release build"
    fi
    summary
    ;;
  check)
    # The edit-test loop: the release build and its tests only.
    setup
    release_build
    run_tests build
    ;;
  windows)
    setup
    windows_steps
    summary
    ;;
  fuzz)
    setup
    build_fuzzers
    run_fuzzers "${2:-60}"
    ;;
  bench)
    setup
    build build-release -DCMAKE_BUILD_TYPE=Release -DH33_BUILD_TESTS=OFF -DH33_BUILD_BENCH=ON
    bench/run.sh build-release
    ;;
  package)
    setup
    build build-release -DCMAKE_BUILD_TYPE=Release -DH33_BUILD_TESTS=OFF -DH33_BUILD_BENCH=OFF
    make_package build-release
    ;;
  *)
    echo "usage: $0 run | test | check | windows | bench | screenshot | build | package | fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
