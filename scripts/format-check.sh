#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from the repository's .clang-format style,
# and names the files. Usage: scripts/format-check.sh (fix with: clang-format -i FILE...)
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/install-deps.sh"
differ=()
while IFS= read -r file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then differ+=("$file"); fi
done < <(git ls-files '*.cpp' '*.h')
if [ ${#differ[@]} -ne 0 ]; then
  printf 'not formatted: %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "format check: every C++ file follows .clang-format"
