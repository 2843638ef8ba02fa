#!/usr/bin/env bash
# dist-check's look at the oldest Windows a program needs: the built program
# passes; the same program with the linker's defaults (OS 4.0, subsystem
# 5.2) fails on each of the four fields; a function missing from the list of
# imports, or one the list dates after Windows 7, fails by its name.
#   tests/harness/oldest_windows_test.sh PATH/TO/mfpsm.exe OBJDUMP
set -euo pipefail

exe=$1
objdump=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/dist-check.sh"

header=$("$objdump" -p "$exe")
check_oldest_windows built "$header"
check_imported_functions built "$header"
[ "$failures" = 0 ] || { echo "the built program fails the check"; exit 1; }

old=$(mktemp)
short=$(mktemp)
newer=$(mktemp)
said=$(mktemp)
trap 'rm -f "$old" "$short" "$newer" "$said"' EXIT
function=$(imported_functions <<<"$header" | sed -n 2p)
name=${function#*$'\t'}
grep -v -F "$function"$'\t' "$import_list" >"$short"
check_imported_functions short "$header" "$short" 2>"$said"
grep -q "$name, which .* does not list" "$said" || { echo "an unlisted $name passes"; exit 1; }
{ cat "$short"; printf '%s\t8\n' "$function"; } >"$newer"
check_imported_functions newer "$header" "$newer" 2>"$said"
grep -q "$name, which Windows 8 brought" "$said" || { echo "a $name of Windows 8 passes"; exit 1; }
[ "$failures" = 2 ] || { echo "the changed lists gave $failures failure(s), expected 2"; exit 1; }
failures=0
# The optional header follows the 4-byte signature and the 20-byte file
# header; its OS version is at offset 40, its subsystem version at 48.
python3 - "$exe" "$old" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
optional = struct.unpack_from('<I', data, 0x3C)[0] + 24
struct.pack_into('<HH', data, optional + 40, 4, 0)
struct.pack_into('<HH', data, optional + 48, 5, 2)
open(sys.argv[2], 'wb').write(data)
PY
check_oldest_windows old "$("$objdump" -p "$old")"
[ "$failures" = 4 ] || { echo "a 5.2 header gave $failures failure(s), expected 4"; exit 1; }
echo "6.1 passes, 4.0 / 5.2 fails; an unlisted import, or one of Windows 8, fails"
