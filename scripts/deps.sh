# Installs the Debian packages the build and the tests need, when any is missing.
# Sourced by scripts/run and scripts/test.
velmorant_packages="cmake ninja-build g++ ccache libgtest-dev qt6-base-dev qt6-translations-l10n
  fonts-liberation mdbtools xvfb xauth libgl-dev nlohmann-json3-dev
  dpkg-dev desktop-file-utils appstream man-db"
# The Windows build: MinGW-w64, GoogleTest's sources to build with it, Wine,
# NSIS for the installer.
velmorant_windows_packages="g++-mingw-w64-x86-64-posix googletest wine wine64 nsis"

velmorant_install_deps() {
  local missing=()
  for p in $velmorant_packages ${1:-}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root or install them)" >&2
    return 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# Builds with ccache where it is installed; paths inside the checkout are
# hashed relative to it, so that another clone of the same code hits the cache.
velmorant_build() {
  local dir=$1; shift
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$velmorant_root" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$velmorant_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
