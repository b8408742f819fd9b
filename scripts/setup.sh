#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test Ostrel: installs the Debian
# packages, fetches the hidapi, zlib and libsodium source packages and builds
# hidapi.dll, minizip, libsodium and GoogleTest for x86_64 Windows into a
# cache folder. Every step is
# skipped when its result is already there, so running it again costs seconds.
#
#   scripts/setup.sh            packages + dependencies
#   OSTREL_DEPS=<dir>           cache folder (default: <repo>/.deps)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
deps=${OSTREL_DEPS:-$repo/.deps}
mkdir -p "$deps"

log() { printf '[setup] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# zip writes the update tests' packages and unzip is the extraction
# benchmark's yardstick; clang with its runtime builds the libFuzzer targets.
# `wine` holds the wine, wineboot and wineserver commands (wine64 only
# recommends it), and g++ is the host compiler of the native sanitizer build.
# Recommended packages are installed too: Wine's X11 driver loads several
# recommended libraries at run time, and fonts-wine supplies its default
# fonts. librsvg2-bin and icoutils render the skin from its SVG sources;
# nsis builds the installer. libsodium-dev verifies update signatures in the
# native build, and minisign signs the update tests' packages; Debian's
# libsodium source ships without its configure script, which autoconf,
# automake and libtool make.
packages=(
  g++-mingw-w64-x86-64-posix wine64 wine xvfb libz-mingw-w64-dev googletest
  cmake ninja-build g++ dpkg-dev fonts-liberation imagemagick python3 curl
  xauth x11-utils clang-format librsvg2-bin icoutils nsis zip unzip clang
  libclang-rt-14-dev
  # Signed updates: libsodium natively, minisign to sign the tests' packages,
  # and autotools to build libsodium for Windows from its source package.
  libsodium-dev minisign autoconf automake libtool
  # The Linux daemon: its libraries, and what builds and checks its package.
  libhidapi-dev libudev-dev libsystemd-dev pkg-config lintian systemd
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

enable_deb_src() {
  local src=/etc/apt/sources.list.d/ostrel-deb-src.sources
  [ -f "$src" ] && return 0
  log "adding deb-src entries"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # The security archive is left out: its source files are not always
    # mirrored, and the build needs only the release's sources.
    awk 'BEGIN { RS = ""; ORS = "\n\n" } !/debian-security/ { sub(/Types: deb\n/, "Types: deb-src\n"); print }' \
      /etc/apt/sources.list.d/debian.sources | as_root tee "$src" >/dev/null
  else
    grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | grep -v security | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/ostrel-deb-src.list >/dev/null
    as_root touch "$src"
  fi
  as_root apt-get update -qq
}

fetch_sources() {
  mkdir -p "$deps/src"
  if ! ls -d "$deps"/src/hidapi-*/ >/dev/null 2>&1 || ! ls -d "$deps"/src/zlib-*/contrib/minizip >/dev/null 2>&1; then
    log "fetching hidapi and zlib source packages"
    (cd "$deps/src" && apt-get source -qq hidapi zlib >/dev/null 2>&1) ||
      { echo "[setup] apt-get source hidapi zlib failed" >&2; exit 1; }
  fi
  hidapi_src=$(ls -d "$deps"/src/hidapi-*/ | head -n 1)
  zlib_src=$(ls -d "$deps"/src/zlib-*/ | head -n 1)
  # Fetched on its own, so a cache made before it was needed is completed
  # without fetching the others again.
  if ! ls -d "$deps"/src/libsodium-*/configure.ac >/dev/null 2>&1; then
    log "fetching the libsodium source package"
    (cd "$deps/src" && apt-get source -qq libsodium >/dev/null 2>&1) ||
      { echo "[setup] apt-get source libsodium failed" >&2; exit 1; }
  fi
  sodium_src=$(dirname "$(ls -d "$deps"/src/libsodium-*/configure.ac | head -n 1)")
}

toolchain="$repo/cmake/toolchain-mingw64.cmake"
install_dir="$deps/install"

build_hidapi() {
  [ -f "$install_dir/bin/hidapi.dll" ] && return 0
  log "building hidapi.dll from $hidapi_src"
  cmake -S "$hidapi_src" -B "$deps/build/hidapi" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PROJECT_hidapi_INCLUDE="$repo/cmake/deps/hidapi-no-prefix.cmake" \
    -DBUILD_SHARED_LIBS=ON -DHIDAPI_BUILD_HIDTEST=OFF \
    -DCMAKE_INSTALL_PREFIX="$install_dir" >/dev/null
  cmake --build "$deps/build/hidapi" >/dev/null
  cmake --install "$deps/build/hidapi" >/dev/null
}

build_minizip() {
  [ -f "$install_dir/lib/libminizip.a" ] && return 0
  log "building minizip from $zlib_src"
  cmake -S "$repo/cmake/deps/minizip" -B "$deps/build/minizip" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DMINIZIP_SOURCE_DIR="$zlib_src/contrib/minizip" \
    -DCMAKE_INSTALL_PREFIX="$install_dir" >/dev/null
  cmake --build "$deps/build/minizip" >/dev/null
  cmake --install "$deps/build/minizip" >/dev/null
}

# Update signatures are verified with libsodium, linked statically into the
# program (consumers compile with SODIUM_STATIC). The configure script is
# made in a copy, so the unpacked source stays as Debian ships it.
build_libsodium() {
  [ -f "$install_dir/lib/libsodium.a" ] && return 0
  log "building libsodium from $sodium_src"
  rm -rf "$deps/build/libsodium"
  mkdir -p "$deps/build"
  cp -a "$sodium_src" "$deps/build/libsodium"
  (cd "$deps/build/libsodium" &&
    autoreconf -fi >/dev/null 2>&1 &&
    ./configure --host=x86_64-w64-mingw32 --prefix="$install_dir" \
      --disable-shared --enable-static --disable-dependency-tracking --enable-minimal \
      CC=x86_64-w64-mingw32-gcc-posix >/dev/null &&
    make -j"$(nproc)" >/dev/null &&
    make install >/dev/null)
}

build_googletest() {
  [ -f "$install_dir/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  log "building GoogleTest"
  cmake -S /usr/src/googletest -B "$deps/build/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF \
    -DCMAKE_INSTALL_PREFIX="$install_dir" >/dev/null
  cmake --build "$deps/build/googletest" >/dev/null
  cmake --install "$deps/build/googletest" >/dev/null
}

# A booted Wine prefix with the font replacement GDI+ needs; test runs copy it
# instead of booting their own (2 s instead of 15 s).
build_wine_prefix() {
  local prefix="$deps/wine-prefix"
  [ -f "$prefix/.ostrel-ready" ] && return 0
  log "booting a Wine prefix"
  rm -rf "$prefix"
  "$repo/tools/wine-env" bootstrap "$prefix"
}

install_packages
enable_deb_src
fetch_sources
build_hidapi
build_minizip
build_libsodium
build_googletest
build_wine_prefix
log "dependencies ready in $deps"
