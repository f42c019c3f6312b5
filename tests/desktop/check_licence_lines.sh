#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file of the project names its licence in its first lines.
#   check_licence_lines.sh SOURCE_DIR
set -euo pipefail
cd "$1"
missing=0
while IFS= read -r -d '' file; do
  if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: MIT'; then
    echo "no SPDX licence line: $file"
    missing=1
  fi
done < <(git ls-files -z -- '*.cpp' '*.h' '*.sh' '*.bash' '*.cmake' '*CMakeLists.txt' '*.1.in' '*.desktop' '*.svg' '*.xml.in' .ci/run)
exit "$missing"
