#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted by the repository's
# .clang-format (prints the files that are not).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
status=0
while IFS= read -r -d '' file; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done < <(find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
exit $status
