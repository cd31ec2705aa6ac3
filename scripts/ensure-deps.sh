# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by ./run and ./test: installs the Debian packages the build and the tests need.
talvek_packages=(
  cmake ninja-build g++ clang clang-format pkg-config ccache
  qt6-base-dev qt6-svg-dev libgl-dev
  # The picture tests turn a saved PDF into pixels.
  poppler-utils
  libgtest-dev libgmock-dev
  fonts-liberation
  dbus-daemon
  # The database tests start an influxd of their own (InfluxDB 1.6), on ports of their own.
  influxdb
  dpkg-dev fakeroot lintian appstream desktop-file-utils
)
# Only ./benchmark needs these: the plotting library its graph figures are compared with.
talvek_bench_packages=(libqcustomplot-dev libqcustomplot2.1-qt6 xvfb)

# talvek_ensure_deps [more packages...]

talvek_ensure_deps() {
  local missing=()
  local pkg
  for pkg in "${talvek_packages[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# talvek_configure <build-dir> [cmake options...]
talvek_configure() {
  local dir=$1
  shift
  # Checkouts of the same tree in other folders share compiled objects.
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
}

# talvek_build <build-dir> [cmake options...]
talvek_build() {
  talvek_configure "$@"
  cmake --build "$1" -j "$(nproc)"
}
