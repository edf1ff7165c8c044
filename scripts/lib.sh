# Shared by the set-up scripts: installs what the project needs and builds it.
# Source it; it expects to be called from anywhere inside the repository.

VORNAK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VORNAK_BUILD="$VORNAK_ROOT/build"
# The checking build: clang with AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer's coverage; scripts/test --sanitize and scripts/fuzz use it.
VORNAK_BUILD_ASAN="$VORNAK_ROOT/build-asan"

# Debian packages the build, the tests and the demo need.
VORNAK_PACKAGES=(
  g++ cmake ninja-build pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-svg-dev
  qt6-qpa-plugins libgl-dev
  fonts-tlwg-typewriter-ttf
  # The tests read PDFs back (pdftotext) and run a session bus of their own
  # for the desktop notice.
  poppler-utils dbus-daemon
)

# Only for scripts/bench: an X server of its own for the figures on a real
# display, the key presser that opens the port there, and the X protocol
# library of the display driver (bench/display).
VORNAK_BENCH_PACKAGES=(xvfb xdotool libxcb1-dev)
# Only for scripts/bench --peers: the serial terminals it measures against.
VORNAK_PEER_PACKAGES=(cutecom picocom)

# Only for the checking build (not installed by the default test run).
VORNAK_CHECK_PACKAGES=(clang libclang-rt-14-dev)

vornak_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages that are missing (apt-get update runs once, only when
# something is missing).
vornak_install_packages() {
  local missing=()
  local package
  for package in "${VORNAK_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    vornak_sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive vornak_sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# Configures (once) and builds into build/; arguments name the targets
# (none: everything).
vornak_build() {
  if [ ! -f "$VORNAK_BUILD/build.ninja" ]; then
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$VORNAK_ROOT" -B "$VORNAK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      "${launcher[@]}" >/dev/null
  fi
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$VORNAK_BUILD" -j "$(nproc)" "${targets[@]}"
}

# Configures (once) and builds the checking build into build-asan/; arguments
# name the targets (none: everything).
vornak_build_asan() {
  if [ ! -f "$VORNAK_BUILD_ASAN/build.ninja" ]; then
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    CXX=clang++ cmake -S "$VORNAK_ROOT" -B "$VORNAK_BUILD_ASAN" -G Ninja \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNAK_FUZZ=ON "${launcher[@]}" >/dev/null
  fi
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$VORNAK_BUILD_ASAN" -j "$(nproc)" "${targets[@]}"
}

# How the sanitizers report: a finding stops the program with an error;
# leaks inside the system libraries that Qt loads are not ours to fix.
vornak_sanitizer_environment() {
  export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$VORNAK_ROOT/fuzz/lsan.supp:print_suppressions=0"
}
