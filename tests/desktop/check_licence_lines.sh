#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file of the project names its licence in its first lines.
#   check_licence_lines.sh SOURCE_DIR
set -euo pipefail
cd "$1"
missing=$(git ls-files -z -- '*.cpp' '*.h' '*.sh' '*.bash' '*.cmake' '*CMakeLists.txt' '*.1.in' '*.desktop' '*.svg' \
  '*.xml.in' .ci/run | xargs -0 awk 'FNR <= 3 && /SPDX-License-Identifier: MIT/ { named[FILENAME] = 1 }
    END { for (i = 1; i < ARGC; i++) if (!(ARGV[i] in named)) print "no SPDX licence line: " ARGV[i] }')
[ -z "$missing" ] || { echo "$missing"; exit 1; }
