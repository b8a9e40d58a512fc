#!/usr/bin/env bash
# Installs what building, running and testing Skyloom needs on Debian 12,
# as root (or through sudo): compilers, the mingw-w64 cross toolchain, Wine,
# Xvfb, the native -dev packages, and a deb-src entry for the source
# packages that the Windows build cross-compiles. Installs only what is
# missing; a ready machine passes through in a second.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3 clang libclang-rt-14-dev
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev nasm
  wine wine64 xvfb xauth x11-apps imagemagick libtiff-tools dpkg-dev time
  nsis unzip ccache
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sources=/etc/apt/sources.list.d/skyloom-deb-src.sources
need_src=0
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
  as_root tee "$sources" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  echo "[setup] installing: ${missing[*]:-(source lists only)}"
  as_root apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
echo "[setup] system packages ready"
