#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, skipping what is there.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd make || need+=(make)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
have_cmd Xvfb || need+=(xvfb)
have_cmd clang++ || need+=(clang)
have_cmd clang-format || need+=(clang-format)
have_pkg libclang-rt-14-dev || need+=(libclang-rt-14-dev)
# The release zip's import libraries and their checks: llvm-dlltool, llvm-nm, llvm-readobj.
have_cmd llvm-dlltool || need+=(llvm)
[ -d /usr/src/googletest ] || need+=(googletest)
have_pkg libgtest-dev || need+=(libgtest-dev)
have_cmd python3 || need+=(python3)
have_pkg wine || need+=(wine)
have_pkg wine32:i386 || need+=(wine32:i386)
# The sources of the Unix locales the Wine tests compile (German, Japanese, Turkish).
[ -f /usr/share/i18n/locales/ja_JP ] || need+=(locales)
have_pkg libz-mingw-w64-dev || need+=(libz-mingw-w64-dev)  # zlib for the screenshots, linked statically

if [ ${#need[@]} -gt 0 ]; then
  echo "deps: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q "${need[@]}"
fi

# A machine that cannot execute 32-bit x86 code tests an x86-64 build under 64-bit Wine.
# shellcheck source=scripts/machine.sh
. "$(dirname "$0")/machine.sh"
if [ "$(kiv_wine_arch)" = win64 ]; then
  need=()
  have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
  have_pkg wine64 || need+=(wine64)
  if [ ${#need[@]} -gt 0 ]; then
    echo "deps: this machine cannot run 32-bit x86 code; installing ${need[*]} for the 64-bit test build"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}"
  fi
fi
