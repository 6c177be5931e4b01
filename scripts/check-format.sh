#!/usr/bin/env bash
# Fails, naming the files, when any C++ file that git tracks differs from
# what clang-format (with the root .clang-format) makes of it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-missing.sh" clang-format git

cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted with clang-format (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "clang-format: ${#files[@]} files formatted"
