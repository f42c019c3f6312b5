// SPDX-License-Identifier: MIT
#pragma once

// The GEMS tables replaced in a whole image in memory, the way the program
// once did it and the way its streaming fix must still place them: the first
// FM table, then the first PSG table in the image as the FM replacement
// leaves it. The tests, the fuzz harness and the benchmarks hold the
// program's one-pass fix to this model.

#include "gems/table_search.h"

#include <algorithm>

namespace vtest {

template <std::size_t N>
bool ReplaceFirst(varnoquil::a_byte& image, std::int64_t at, const std::array<std::uint16_t, N>& table)
{
    if (at < 0)
        return false;
    const auto bytes = varnoquil::TableBytes(table);
    std::copy(bytes.begin(), bytes.end(), image.begin() + at);
    return true;
}

// Replaces the first copy of a table for scale 1 by the table for scale;
// false, and the image untouched, when there is none.
inline bool FixFmTable(varnoquil::a_byte& image, double scale)
{
    return ReplaceFirst(image, varnoquil::FindFmTable(image.data(), image.size()),
                        varnoquil::BuildFmTable(varnoquil::Scale(scale)));
}

inline bool FixPsgTable(varnoquil::a_byte& image, double scale)
{
    return ReplaceFirst(image, varnoquil::FindPsgTable(image.data(), image.size()),
                        varnoquil::BuildPsgTable(varnoquil::Scale(scale)));
}

} // namespace vtest
