#!/usr/bin/env bash
# Installs the cross toolchains, Wine and the test tools when they are missing;
# the print server (CUPS) is for the tests on Wine's own spooler
# (tools/print-server starts one of the project's own).
# Quick when everything is already there: only dpkg is asked.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686
  wine64
  wine32:i386
  fonts-liberation2
  fonts-wqy-microhei
  xvfb
  imagemagick
  googletest
  libgtest-dev
  cmake
  make
  python3
  # Authenticode signing of the release, and dist-check's throwaway certificate.
  osslsigncode
  openssl
  # The print server that the tests on Wine's own spooler print to.
  cups-daemon
  cups-client
)
if [ "${MFPSM_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The bench sets the watermark job against Ghostscript drawing the same page.
if [ "${MFPSM_BENCH:-0}" = 1 ]; then
  packages+=(ghostscript)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # The 32-bit Wine that runs the 32-bit program comes from the i386 archive.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one index or another; the rest still
  # serves, and the install below says plainly what it could not find.
  $sudo apt-get update -qq || $sudo apt-get update -qq ||
    echo "bootstrap: package lists partly stale; installing from what there is" >&2
  install() { $sudo apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null; }
  if ! install; then
    # The 32-bit libraries must have the very version of their 64-bit
    # twins. Where one architecture's security index is missing, only the
    # release's own versions exist for both: take those.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "bootstrap: trying again with the versions of $codename itself" >&2
    install -t "$codename"
  fi
fi

# Debian installs wine64 and the 32-bit loader beside, not on, the PATH.
if ! command -v wine64 >/dev/null 2>&1 && [ ! -x /usr/lib/wine/wine64 ]; then
  echo "bootstrap: wine64 not found after install" >&2
  exit 1
fi
if [ ! -x /usr/lib/wine/wine ]; then
  echo "bootstrap: the 32-bit wine loader (wine32:i386) not found after install" >&2
  exit 1
fi
