#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format
# makes of it (.clang-format); lists the files. `scripts/format-pruefen.sh -i`
# formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t dateien < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = -i ]; then
  clang-format -i "${dateien[@]}"
  exit 0
fi
abweichend=()
for d in "${dateien[@]}"; do
  clang-format --dry-run --Werror "$d" >/dev/null 2>&1 || abweichend+=("$d")
done
if [ ${#abweichend[@]} -gt 0 ]; then
  echo "Nicht im Hausstil (scripts/format-pruefen.sh -i richtet sie aus):" >&2
  printf '  %s\n' "${abweichend[@]}" >&2
  exit 1
fi
echo "format: ${#dateien[@]} Dateien im Hausstil"
