#!/usr/bin/env bash
# Installs what building and testing Kestrune needs on a Debian machine.
# Idempotent: every step checks first, so running it again is quick.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/windows-arch.sh"
packages=(
  cmake ninja-build make g++ pkg-config zlib1g-dev libbenchmark-dev
  libz-mingw-w64-dev wine xvfb xauth x11-utils imagemagick
  fonts-wqy-microhei locales
  nsis msitools wixl fonts-wine
  clang-14 libclang-rt-14-dev
  mscompress openssl libssl-dev python3
)
if [ "$KESTRUNE_WINDOWS_ARCH" = i686 ]; then
  packages+=(g++-mingw-w64-i686 wine32:i386)
  # npm fetches the Inno Setup compiler, a 32-bit program, for the installer fixtures. A Node.js
  # from elsewhere that brings its own npm conflicts with Debian's npm package.
  packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
else
  packages+=(g++-mingw-w64-x86-64 wine64)
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$KESTRUNE_WINDOWS_ARCH" = i686 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine must run with the ANSI code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen
fi

# The POSIX thread model gives the cross compiler std::mutex and friends.
for tool in gcc g++; do
  if [ -x "/usr/bin/$KESTRUNE_WINDOWS_ARCH-w64-mingw32-$tool-posix" ]; then
    as_root update-alternatives --set "$KESTRUNE_WINDOWS_ARCH-w64-mingw32-$tool" \
      "/usr/bin/$KESTRUNE_WINDOWS_ARCH-w64-mingw32-$tool-posix" >/dev/null
  fi
done
