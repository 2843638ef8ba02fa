#!/usr/bin/env bash
# make dist: the release in dist/. Builds the program for 64-bit and 32-bit
# Windows in release trees of their own (build/release/win64, .../win32),
# splits off the debug information and packs
#   mfpsm-VERSION-win64.zip, mfpsm-VERSION-win32.zip  the stripped program,
#       the sample smen.ini, the driver-side notes, the driver-side library
#       (driverside/: its header, source and readme) and the readme
#   mfpsm-VERSION-debug.zip  mfpsm.exe.debug of both programs
#   SHA256SUMS               the zips and both programs as unpacked
# Every step gives the same bytes wherever and whenever it runs.
#
# With SIGN_PFX (a PKCS#12 file: the code-signing certificate, its chain and
# private key) and SIGN_PASS (its password), both programs are signed with
# Authenticode, SHA-256, after those bytes are made; SIGN_TIMESTAMP, the URL
# of an RFC 3161 time-stamp server, is the only thing ever fetched, and only
# when given. Removing the signature gives back the unsigned program.
#
# tools/dist-check.sh sources this file for its functions.
set -euo pipefail

dist_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist_version=$(head -n 1 "$dist_root/VERSION")
dist_jobs=${JOBS:-$(nproc)}

# dist_build SOURCE TREE ARCH: configures a release tree of SOURCE for ARCH
# (win64 or win32) and builds the program alone. The configuration is the one
# the tests run (optimised, with debug information to split off), with the
# trace facility as shipped: off.
dist_build() {
  local source=$1 tree=$2 arch=$3 toolchain
  case "$arch" in
    win64) toolchain=mingw-w64-x86_64.cmake ;;
    win32) toolchain=mingw-w64-i686.cmake ;;
  esac
  cmake -S "$source" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/$toolchain" >/dev/null
  cmake --build "$tree" --target mfpsm -j "$dist_jobs" >/dev/null
}

dist_objcopy() {
  local arch=$1
  shift
  local triple=x86_64-w64-mingw32
  [ "$arch" = win32 ] && triple=i686-w64-mingw32
  # objcopy writes the time of day into a PE header unless this says 0.
  SOURCE_DATE_EPOCH=0 "$triple-objcopy" "$@"
}

# dist_align EXE: pads EXE with zeros to a multiple of 8 bytes, as Authenticode
# signing pads a program before it appends the signature, and adds the padding
# to the PE checksum (the sum of the file's 16-bit words plus its length).
# Signing then only appends, and removing the signature gives these bytes back.
dist_align() {
  python3 - "$1" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
padding = -len(data) % 8
# CheckSum lies 64 bytes into the optional header, after the 4-byte signature
# and the 20-byte file header, in 32- and 64-bit programs alike.
at = struct.unpack_from('<I', data, 0x3C)[0] + 24 + 64
struct.pack_into('<I', data, at, struct.unpack_from('<I', data, at)[0] + padding)
open(path, 'wb').write(data + bytes(padding))
PY
}

# dist_split ARCH EXE OUT: OUT/mfpsm.exe, stripped and aligned for signing,
# naming OUT/mfpsm.exe.debug, which holds the debug information alone.
dist_split() {
  local arch=$1 exe=$2 out=$3
  mkdir -p "$out"
  dist_objcopy "$arch" --only-keep-debug "$exe" "$out/mfpsm.exe.debug"
  # The link records the debug file's name and checksum, not its folder.
  (cd "$out" && dist_objcopy "$arch" --strip-all --add-gnu-debuglink=mfpsm.exe.debug "$exe" mfpsm.exe)
  dist_align "$out/mfpsm.exe"
}

dist_stop() {
  echo "dist: $*" >&2
  exit 1
}

# The password reaches openssl and osslsigncode through a pipe, never on a
# command line that other users' process lists show.
dist_pass() { printf '%s' "${SIGN_PASS:-}"; }

# dist_signing: one line saying whether and how the programs are signed.
# Stops before anything is built when the certificate cannot be opened.
dist_signing() {
  if [ -z "${SIGN_PFX:-}" ]; then
    echo "dist: unsigned (no SIGN_PFX given)"
    return
  fi
  command -v osslsigncode >/dev/null || dist_stop "osslsigncode missing: run make bootstrap"
  [ -r "$SIGN_PFX" ] || dist_stop "cannot read SIGN_PFX $SIGN_PFX"
  local subject
  # -legacy also opens files made with the older ciphers other tools still use.
  subject=$(openssl pkcs12 -legacy -in "$SIGN_PFX" -passin file:<(dist_pass) -nokeys -clcerts |
    openssl x509 -noout -subject -nameopt RFC2253) || dist_stop "cannot open $SIGN_PFX with SIGN_PASS"
  echo "dist: signing as ${subject#subject=}, SHA-256, ${SIGN_TIMESTAMP:+time-stamped by }${SIGN_TIMESTAMP:-not time-stamped}"
}

# dist_sign EXE: signs EXE in place when SIGN_PFX is given.
dist_sign() {
  local exe=$1 stamp=()
  [ -n "${SIGN_PFX:-}" ] || return 0
  [ -z "${SIGN_TIMESTAMP:-}" ] || stamp=(-ts "$SIGN_TIMESTAMP")
  osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass <(dist_pass) -h sha256 -n "MFP Status Monitor" \
    "${stamp[@]}" -in "$exe" -out "$exe.signed" >/dev/null || dist_stop "signing $exe failed"
  mv "$exe.signed" "$exe"
}

# dist_stage_arch ARCH BITS EXE SAMPLE STAGE: the folder of one zip.
dist_stage_arch() {
  local arch=$1 bits=$2 exe=$3 sample=$4 stage=$5
  local folder="$stage/mfpsm-$dist_version-$arch"
  mkdir -p "$folder" "$stage/mfpsm-$dist_version-debug/$arch"
  dist_split "$arch" "$exe" "$stage/split-$arch"
  mv "$stage/split-$arch/mfpsm.exe" "$folder/mfpsm.exe"
  dist_sign "$folder/mfpsm.exe"
  mv "$stage/split-$arch/mfpsm.exe.debug" "$stage/mfpsm-$dist_version-debug/$arch/mfpsm.exe.debug"
  rmdir "$stage/split-$arch"
  cp "$sample" "$folder/smen.ini"
  cp "$dist_root/app/DRIVER_SIDE.md" "$folder/DRIVER_SIDE.md"
  mkdir -p "$folder/driverside"
  cp "$dist_root"/driverside/{mfpsm_driver.h,mfpsm_driver.c,README.md} "$folder/driverside/"
  sed -e "s/@VERSION@/$dist_version/g" -e "s/@BITS@/$bits/g" "$dist_root/resources/release/README.txt" \
    >"$folder/README.txt"
  cp /usr/share/doc/mingw-w64-common/copyright "$folder/MINGW-W64-COPYRIGHT.txt"
}

# dist_sample HOST_TREE OUT: the sample UI text file, from the program's own
# tables through the native tool of the host tree.
dist_sample() {
  local tree=$1 out=$2
  cmake -S "$dist_root" -B "$tree" >/dev/null
  cmake --build "$tree" --target make_smen_sample -j "$dist_jobs" >/dev/null
  "$tree/make_smen_sample" "$out"
}

# dist_package EXE64 EXE32 HOST_TREE OUT: the release of two built programs.
dist_package() {
  local exe64=$1 exe32=$2 host=$3 out=$4
  local stage="$out.stage"
  rm -rf "$stage" "$out"
  mkdir -p "$stage" "$out"
  dist_sample "$host" "$stage/smen.ini"
  dist_stage_arch win64 64 "$exe64" "$stage/smen.ini" "$stage"
  dist_stage_arch win32 32 "$exe32" "$stage/smen.ini" "$stage"
  # Zip times: the time of the commit the release is made from.
  if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git -C "$dist_root" rev-parse HEAD >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git -C "$dist_root" log -1 --format=%ct)
  fi
  local name
  for name in win64 win32 debug; do
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-} python3 "$dist_root/tools/release_zip.py" \
      "$out/mfpsm-$dist_version-$name.zip" "$stage/mfpsm-$dist_version-$name"
  done
  (cd "$out" && sha256sum mfpsm-"$dist_version"-*.zip) >"$out/SHA256SUMS"
  (cd "$stage" && sha256sum mfpsm-"$dist_version"-win64/mfpsm.exe mfpsm-"$dist_version"-win32/mfpsm.exe) \
    >>"$out/SHA256SUMS"
  rm -rf "$stage"
}

dist_main() {
  local trees="$dist_root/build/release"
  dist_signing
  dist_build "$dist_root" "$trees/win64" win64
  dist_build "$dist_root" "$trees/win32" win32
  dist_package "$trees/win64/mfpsm.exe" "$trees/win32/mfpsm.exe" "$dist_root/build/host" "$dist_root/dist"
  echo "dist: $(cd "$dist_root" && ls dist/*.zip | tr '\n' ' ')"
  cat "$dist_root/dist/SHA256SUMS"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  dist_main
fi
