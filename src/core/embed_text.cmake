# SPDX-License-Identifier: MIT
# Writes the bytes of INPUT into OUTPUT as a C++ source that defines
# std::string_view varnoquil::NAME(), so that data files ship inside the
# program. Run with: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_text.cmake
file(READ "${INPUT}" hex HEX)
get_filename_component(input_name "${INPUT}" NAME)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${input_name} by embed_text.cmake: do not edit.
#include <string_view>

namespace varnoquil {
namespace {
const char kBytes[] = {
${bytes}'\\0'};
} // namespace

std::string_view ${NAME}()
{
    return std::string_view(kBytes, sizeof kBytes - 1);
}
} // namespace varnoquil
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
