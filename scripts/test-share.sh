#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints the lines of test code (C++ and shell under tests/) beside the lines
# of the program's source (C++ under src/), blank and comment-only lines left
# out, and the share of the first in the second.
set -euo pipefail
cd "$(dirname "$0")/.."
code_lines()
{
    git ls-files -z -- "$@" | xargs -0 cat | grep -cvE '^[[:space:]]*($|//|/\*|\*|#($|[^a-z]))'
}
tests=$(code_lines 'tests/*.cpp' 'tests/*.h' 'tests/*.sh')
sources=$(code_lines 'src/*.cpp' 'src/*.h')
echo "tests $tests lines, sources $sources lines: $((100 * tests / sources))%"
