# The status dialog's pictures at 300 %: drawn from their shapes, against the
# 96-DPI resources stretched to the same size (tests/bench/pictures.cpp).
set -euo pipefail
"$MFPSM_ROOT/tools/wine-run" "$MFPSM_BIN/bench_pictures.exe" | tr -d '\r'
