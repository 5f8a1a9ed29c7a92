#!/usr/bin/env bash
# Fails, naming the files, when a C++ file is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r -d '' file; do
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then
        unformatted+=("$file")
    fi
done < <(git ls-files -z '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted (run: clang-format -i FILE):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
