# Shared by the set-up scripts: installs what the project needs and builds it.
# Source it; it expects to be called from anywhere inside the repository.

VORNAK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VORNAK_BUILD="$VORNAK_ROOT/build"

# Debian packages the build, the tests and the demo need.
VORNAK_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev
  qt6-qpa-plugins libgl-dev
  fonts-tlwg-typewriter-ttf
)

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

# Configures (once) and builds everything into build/.
vornak_build() {
  if [ ! -f "$VORNAK_BUILD/build.ninja" ]; then
    cmake -S "$VORNAK_ROOT" -B "$VORNAK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$VORNAK_BUILD" -j "$(nproc)"
}
