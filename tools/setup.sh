#!/usr/bin/env bash
# Installs what building and testing Kestrune needs on a Debian machine.
# Idempotent: every step checks first, so running it again is quick.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/windows-arch.sh"
# Both Wine loaders (the 64-bit test machine runs the 32-bit build under WoW64) and both cross
# compilers: the i686 build with the 64-bit half of its fixtures, or the x86_64 build with the
# shipped build's WoW64 checks.
packages=(
  cmake ninja-build make g++ pkg-config zlib1g-dev libbenchmark-dev
  libz-mingw-w64-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick
  fonts-wqy-microhei locales
  nsis msitools wixl fonts-wine
  clang-14 libclang-rt-14-dev
  mscompress openssl libssl-dev python3
)
if [ "$KESTRUNE_HOST_I386" = native ]; then
  # npm fetches the Inno Setup compiler, a 32-bit program, for the installer fixtures. A Node.js
  # from elsewhere that brings its own npm conflicts with Debian's npm package.
  packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
else
  # i386 Wine runs here only under qemu's user emulation.
  packages+=(qemu-user-static)
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A host that runs 64-bit code only hands i386 programs to qemu. Debian's qemu-user-static leaves
# i386 out on amd64, which usually runs it itself, so the handler is registered here; without
# binfmt_misc the WoW64 checks are skipped.
if [ "$KESTRUNE_HOST_I386" = none ]; then
  binfmt=/proc/sys/fs/binfmt_misc
  [ -f "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
  if [ -f "$binfmt/register" ] && [ ! -e "$binfmt/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      as_root tee "$binfmt/register" >/dev/null 2>&1 || true
  fi
  if [ "$(kestrune_host_i386)" != emulated ]; then
    echo "setup: cannot register qemu for i386 programs (binfmt_misc): the shipped build's WoW64 checks will be skipped" >&2
  fi
fi

# Wine must run with the ANSI code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen
fi

# The POSIX thread model gives the cross compilers std::mutex and friends.
for arch in i686 x86_64; do
  for tool in gcc g++; do
    if [ -x "/usr/bin/$arch-w64-mingw32-$tool-posix" ]; then
      as_root update-alternatives --set "$arch-w64-mingw32-$tool" "/usr/bin/$arch-w64-mingw32-$tool-posix" >/dev/null
    fi
  done
done
