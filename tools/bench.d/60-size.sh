# Size of the shipped programs: stripped as the release strips them (the
# release is these programs, bit for bit; make dist-check shows it).
set -euo pipefail
source "$MFPSM_ROOT/tools/dist.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for arch in win64 win32; do
  dist_split "$arch" "$MFPSM_ROOT/build/$arch/mfpsm.exe" "$scratch/$arch"
  echo "mfpsm.exe stripped, $arch | $(stat -c %s "$scratch/$arch/mfpsm.exe") | bytes | <= 700000"
done
