#!/usr/bin/env bash
# make dist-check (make test runs it): the release is what it claims to be.
#  1. The programs the tests run (build/win64, build/win32) are packed as
#     make dist packs them, into build/dist-check/dist, and unpacked again.
#  2. A copy of the source in another folder is built again, programs only,
#     and packed the same way: every zip (so every program and debug file)
#     and both programs must have the same SHA-256 as the first.
#  3. Each program has no time stamp, the hardening flags and the stack guard,
#     imports only the system DLLs it always did, and of them only functions
#     tools/windows7-imports.txt lists as there on Windows 7, says Windows 7
#     SP1 (6.1) as its oldest system, and names no folder of this machine,
#     nor does its debug file.
#  4. Unpacked from its zip, each program runs its install / uninstall road
#     under Wine (32-bit in the 32-bit prefix), watched through the driver's
#     own interface: the status exchange file and the autostart value.
#  5. Packed again and signed with a throwaway certificate authority and
#     code-signing certificate, made in a temporary folder and removed: both
#     signatures verify against that authority, a changed byte fails, the
#     sums match what ships, the debug files are the unsigned release's, and
#     each program without its signature is the unsigned program, byte for byte.
#  6. The driver-side library, as unzipped, compiles as C99 and as C++ with
#     every warning an error for both architectures, and so does the example
#     of its readme, linked against it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/dist.sh"

root=$dist_root
check="$root/build/dist-check"
# DLL names are compared in capitals: the import libraries of the two
# architectures spell some of them differently.
imports="ADVAPI32.DLL GDI32.DLL IMM32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL WINSPOOL.DRV"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# Every function the programs import, each with the oldest Windows its
# documentation names: one newer than Windows 7 imported by name would load
# under Wine and pass every test, then keep the program from starting there.
import_list="$root/tools/windows7-imports.txt"
failures=0
# The release checked here is the unsigned one, and the signed road uses a
# throwaway certificate: a maker's, given for make dist, is never used here.
unset SIGN_PFX SIGN_PASS SIGN_TIMESTAMP

fail() {
  echo "dist-check: FAILED: $*" >&2
  failures=$((failures + 1))
}

copy_source() {
  local to=$1
  mkdir -p "$to"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) | tar -xf - -C "$to"
}

# The copy's programs packed like the release; every zip and program must be
# the same bytes as the release's.
rebuild_elsewhere() {
  local arch
  copy_source "$check/elsewhere/source"
  for arch in win64 win32; do
    dist_build "$check/elsewhere/source" "$check/elsewhere/$arch" "$arch"
  done
  dist_package "$check/elsewhere/win64/mfpsm.exe" "$check/elsewhere/win32/mfpsm.exe" "$root/build/host" \
    "$check/again"
  sed 's/^/  /' "$check/dist/SHA256SUMS"
  if ! diff "$check/dist/SHA256SUMS" "$check/again/SHA256SUMS" >"$check/sums.diff"; then
    fail "a second build in another folder differs: $(cat "$check/sums.diff")"
  fi
}

# check_oldest_windows NAME OBJDUMP_P_TEXT: the header's operating system
# and subsystem versions must be 6.1, Windows 7 SP1, whose functions the
# program imports; an older Windows then refuses it with a message.
check_oldest_windows() {
  local name=$1 header=$2 field want got
  for field in MajorOSystemVersion=6 MinorOSystemVersion=1 MajorSubsystemVersion=6 MinorSubsystemVersion=1; do
    want=${field#*=}
    field=${field%=*}
    got=$(sed -n "s/^$field"$'\t'"//p" <<<"$header")
    [ "$got" = "$want" ] || fail "$name: $field is ${got:-missing}, expected $want (Windows 7 SP1)"
  done
}

# imported_functions: objdump -p of a program on stdin; "DLL<TAB>FUNCTION"
# for every function it imports by name, DLL names in capitals.
imported_functions() {
  awk '/^\tDLL Name:/ { dll = toupper($3); next } /^$/ { dll = "" }
       dll != "" && /^\t[0-9a-f]+\t/ { print dll "\t" $NF }' | LC_ALL=C sort -u
}

# check_imported_functions NAME OBJDUMP_P_TEXT [LIST]: every function the
# program imports is on the list, as one Windows 7 has.
check_imported_functions() {
  local name=$1 header=$2 list=${3:-$import_list} verdict dll function minimum
  while IFS=$'\t' read -r verdict dll function minimum; do
    if [ "$verdict" = unlisted ]; then
      fail "$name: imports $dll $function, which $(basename "$list") does not list: look up its oldest Windows and add it"
    else
      fail "$name: imports $dll $function, which Windows $minimum brought: load it at run time instead"
    fi
  done < <(imported_functions <<<"$header" | awk -F'\t' '
    NR == FNR { if ($0 !~ /^#/ && NF >= 3) oldest[$1 FS $2] = $3; next }
    !(($1 FS $2) in oldest) { print "unlisted\t" $1 "\t" $2; next }
    oldest[$1 FS $2] !~ /^(2000|XP|Vista|7|crt)$/ { print "newer\t" $1 "\t" $2 "\t" oldest[$1 FS $2] }' "$list" -)
}

# check_import_list_current: the list holds no function neither program
# imports any more, so it stays the list of what they import.
check_import_list_current() {
  local arch triple dll function
  for arch in win64 win32; do
    triple=x86_64-w64-mingw32
    [ "$arch" = win32 ] && triple=i686-w64-mingw32
    "$triple-objdump" -p "$(shipped_exe "$arch")" | imported_functions
  done | LC_ALL=C sort -u >"$check/imports.txt"
  while IFS=$'\t' read -r dll function; do
    fail "$(basename "$import_list") lists $dll $function, which neither program imports"
  done < <(grep -v '^#' "$import_list" | cut -f1,2 | LC_ALL=C sort -u | LC_ALL=C comm -23 - "$check/imports.txt")
}

shipped_exe() { echo "$check/unzipped/mfpsm-$dist_version-$1/mfpsm.exe"; }
shipped_debug() { echo "$check/unzipped/mfpsm-$dist_version-debug/$1/mfpsm.exe.debug"; }

inspect_program() {
  local arch=$1 exe debug
  exe=$(shipped_exe "$arch")
  debug=$(shipped_debug "$arch")
  local triple=x86_64-w64-mingw32 flags="DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA" header found flag symbols
  if [ "$arch" = win32 ]; then
    triple=i686-w64-mingw32
    flags="DYNAMIC_BASE NX_COMPAT"
  fi
  header=$("$triple-objdump" -p "$exe")
  grep -q $'^Time/Date\t\tThu Jan  1 00:00:00 1970$' <<<"$header" || fail "$arch: time stamp in the PE header"
  for flag in $flags; do
    grep -qx $'\t*'"$flag" <<<"$header" || fail "$arch: $flag missing"
  done
  check_oldest_windows "$arch" "$header"
  check_imported_functions "$arch" "$header"
  found=$(sed -n 's/^\tDLL Name: //p' <<<"$header" | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
  [ "$found" = "$imports" ] || fail "$arch: imports $found, expected $imports"
  symbols=$("$triple-nm" "$debug")
  grep -Eq ' T _{2,3}stack_chk_fail$' <<<"$symbols" || fail "$arch: no stack guard linked"
  grep -q '\.gnu_debuglink' <("$triple-objdump" -h "$exe") || fail "$arch: no .gnu_debuglink"
  for file in "$exe" "$debug"; do
    ! grep -qF "$root" "$file" || fail "$arch: $(basename "$file") names the folder $root"
  done
  printf '  %s: %s bytes stripped; %s\n' "$arch" "$(stat -c %s "$exe")" \
    "$(sed -n 's/^DllCharacteristics\t//p' <<<"$header")"
}

# The shipped program stays at most 700 KB (700,000 bytes), stripped as it ships.
max_program_bytes=700000
check_size() {
  local arch=$1 bytes
  bytes=$(stat -c %s "$(shipped_exe "$arch")")
  [ "$bytes" -le "$max_program_bytes" ] || fail "$arch: $bytes bytes stripped, more than $max_program_bytes"
}

unzip_release() {
  python3 -c 'import sys, zipfile; [zipfile.ZipFile(z).extractall(sys.argv[1]) for z in sys.argv[2:]]' \
    "$check/unzipped" "$check"/dist/mfpsm-"$dist_version"-*.zip
}

# Waits up to $2 seconds for process $1 to end; its exit code, or 124.
wait_exit() {
  local pid=$1 seconds=$2 code=0
  while [ "$seconds" -gt 0 ] && kill -0 "$pid" 2>/dev/null; do
    sleep 1
    seconds=$((seconds - 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" || true
    return 124
  fi
  wait "$pid" || code=$?
  return "$code"
}

install_road() {
  local arch=$1 runner="$root/tools/wine-run" code=0
  [ "$arch" = win32 ] && runner="$root/tools/wine-run32"
  local exe drvsim="$root/build/$arch/drvsim.exe"
  exe=$(shipped_exe "$arch")
  local log="$check/road-$arch.log"
  "$runner" "$exe" install >"$log" 2>&1 &
  local monitor=$!
  # A ticking monitor answers a close request by writing Message = 0. In a
  # new prefix the request can meet the monitor making its status file and
  # be lost with the file's first state, so it is asked again.
  local asked answered=0
  for asked in 1 2 3 4 5 6; do
    "$runner" "$drvsim" close >>"$log" 2>&1 || fail "$arch: drvsim close"
    if "$runner" "$drvsim" wait Message 0 --timeout-ms 5000 >>"$log" 2>&1; then
      answered=1
      break
    fi
  done
  [ "$answered" = 1 ] || fail "$arch: the monitor does not answer"
  "$runner" reg query "$run_key" /v mfpsm >"$check/run-$arch.txt" 2>&1 || true
  grep -q "mfpsm-$dist_version-$arch\\\\mfpsm.exe" "$check/run-$arch.txt" || fail "$arch: no autostart value after install"
  "$runner" "$exe" uninstall >>"$log" 2>&1 || code=$?
  [ "$code" = 1 ] || fail "$arch: uninstall ended with $code, expected 1"
  code=0
  wait_exit "$monitor" 30 || code=$?
  [ "$code" = 0 ] || fail "$arch: the monitor ended with $code after uninstall, expected 0"
  if "$runner" reg query "$run_key" /v mfpsm >"$check/run-$arch.txt" 2>&1; then
    fail "$arch: autostart value left after uninstall"
  fi
  echo "  $arch: install, monitor answering, autostart value, uninstall: done"
}

# make_throwaway_signer DIR: DIR/ca.pem, an authority made for this run, and
# DIR/signer.pfx (password "throwaway"), a code-signing certificate it
# issued, with its key and the authority's certificate.
make_throwaway_signer() {
  local dir=$1
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=mfpsm dist-check throwaway CA" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=mfpsm dist-check throwaway signer" \
    -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -addext basicConstraints=critical,CA:FALSE \
    -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
    -keyout "$dir/signer.key" -out "$dir/signer.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$dir/signer.key" -in "$dir/signer.pem" -certfile "$dir/ca.pem" \
    -passout pass:throwaway -out "$dir/signer.pfx"
}

# check_signature ARCH EXE CA: the signature of EXE is SHA-256 and verifies
# against the authority CA, and a copy with one byte of the program changed
# fails on its digest.
check_signature() {
  local arch=$1 exe=$2 ca=$3 log="$check/verify-$1.txt"
  local changed="$check/changed-$1.exe" changed_log="$check/verify-changed-$1.txt"
  if ! osslsigncode verify -CAfile "$ca" -in "$exe" >"$log" 2>&1; then
    fail "$arch: the signature does not verify against the throwaway authority: $(grep -m 1 -E 'Error|MISMATCH' "$log")"
    return
  fi
  grep -q '^Message digest algorithm *: SHA256' "$log" || fail "$arch: the signature's digest is not SHA-256"
  python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[len(d) // 2] ^= 1; open(sys.argv[2], "wb").write(d)' \
    "$exe" "$changed"
  if osslsigncode verify -CAfile "$ca" -in "$changed" >"$changed_log" 2>&1 ||
    ! grep -q 'message digest.*MISMATCH' "$changed_log"; then
    fail "$arch: a changed byte does not fail the signature's digest"
    return
  fi
  echo "  $arch: $(grep -m 1 '^Signature verification' "$log") (SHA-256); a changed byte fails"
}

# check_unsigned_inside ARCH EXE: EXE without its signature is the unsigned
# program of the release, so the signature hides no change of the program.
check_unsigned_inside() {
  local arch=$1 exe=$2 removed="$check/removed-$1.exe"
  rm -f "$removed" # osslsigncode writes no file that exists
  if ! osslsigncode remove-signature -in "$exe" -out "$removed" >/dev/null 2>&1; then
    fail "$arch: osslsigncode cannot remove the signature"
    return
  fi
  if ! cmp -s "$removed" "$(shipped_exe "$arch")"; then
    fail "$arch: without its signature the program is not the unsigned release's"
    return
  fi
  echo "  $arch: without its signature, the unsigned program byte for byte"
}

# The release signed as make dist signs it, from the programs packed above.
check_signed_release() {
  local keys signed="$check/signed" arch exe zip
  command -v osslsigncode >/dev/null || { fail "osslsigncode missing: run make bootstrap"; return; }
  keys=$(mktemp -d)
  trap 'rm -rf "$keys"' EXIT
  make_throwaway_signer "$keys"
  SIGN_PFX="$keys/signer.pfx" SIGN_PASS=throwaway SIGN_TIMESTAMP='' \
    dist_package "$root/build/win64/mfpsm.exe" "$root/build/win32/mfpsm.exe" "$root/build/host" "$signed"
  for zip in "$signed"/*.zip; do
    python3 -m zipfile -e "$zip" "$signed"
  done
  (cd "$signed" && sha256sum --quiet -c SHA256SUMS) || fail "signed release: SHA256SUMS does not match its files"
  diff -rq "$check/unzipped/mfpsm-$dist_version-debug" "$signed/mfpsm-$dist_version-debug" >/dev/null ||
    fail "signed release: its debug files are not the unsigned release's"
  for arch in win64 win32; do
    exe="$signed/mfpsm-$dist_version-$arch/mfpsm.exe"
    check_signature "$arch" "$exe" "$keys/ca.pem"
    check_unsigned_inside "$arch" "$exe"
  done
  rm -rf "$keys"
  trap - EXIT
}

# check_driverside ARCH: the library a driver team takes from the zip
# compiles in their build, whichever language and architecture it is.
check_driverside() {
  local arch=$1 triple=x86_64-w64-mingw32 folder out file
  [ "$arch" = win32 ] && triple=i686-w64-mingw32
  folder="$check/unzipped/mfpsm-$dist_version-$arch/driverside"
  out="$check/driverside-$arch"
  mkdir -p "$out"
  for file in mfpsm_driver.h mfpsm_driver.c README.md; do
    [ -f "$folder/$file" ] || fail "$arch: the zip lacks driverside/$file"
  done
  [ -f "$folder/mfpsm_driver.c" ] || return 0
  "$triple-gcc" -std=c99 -pedantic -Wall -Wextra -Werror -c "$folder/mfpsm_driver.c" -o "$out/c.o" \
    2>"$out/c.log" || fail "$arch: driverside does not compile as C99: $(head -n 5 "$out/c.log")"
  "$triple-g++" -x c++ -std=c++17 -Wall -Wextra -Werror -c "$folder/mfpsm_driver.c" -o "$out/cxx.o" \
    2>"$out/cxx.log" || fail "$arch: driverside does not compile as C++: $(head -n 5 "$out/cxx.log")"
  sed -n '/^```c$/,/^```$/{/^```/!p}' "$folder/README.md" >"$out/example.c"
  "$triple-gcc" -std=c99 -Wall -Wextra -Werror -municode -I"$folder" "$out/example.c" "$out/c.o" \
    -luser32 -ladvapi32 -lwinspool -o "$out/example.exe" 2>"$out/example.log" ||
    fail "$arch: the example of driverside/README.md does not build: $(head -n 5 "$out/example.log")"
}

main() {
  local start=$SECONDS arch
  rm -rf "$check"
  mkdir -p "$check"
  echo "dist-check: packing build/win64 and build/win32"
  dist_package "$root/build/win64/mfpsm.exe" "$root/build/win32/mfpsm.exe" "$root/build/host" "$check/dist"
  unzip_release
  echo "dist-check: building both programs again in $check/elsewhere"
  rebuild_elsewhere
  for arch in win64 win32; do
    inspect_program "$arch"
  done
  check_import_list_current
  for arch in win64 win32; do
    check_size "$arch"
  done
  for arch in win64 win32; do
    check_driverside "$arch"
  done
  echo "dist-check: packing them again, signed with a throwaway certificate"
  check_signed_release
  "$root/tools/wine-run" --session-start
  local roads=win64
  if "$root/tools/runs-32bit"; then
    roads="win64 win32"
    "$root/tools/wine-run32" --session-start
  else
    echo "dist-check: win32: install road not run: this machine runs no 32-bit programs"
  fi
  for arch in $roads; do
    install_road "$arch"
  done
  "$root/tools/wine-run" --session-end
  [ "$roads" = win64 ] || "$root/tools/wine-run32" --session-end
  echo "dist-check: $((SECONDS - start)) s, $failures failure(s)"
  [ "$failures" = 0 ]
}

# Sourced by its own test, it only defines its functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  main "$@"
fi
