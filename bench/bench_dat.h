// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Synthetic Logiqx DAT files for the benchmarks and the performance script,
// laid out as the public catalogues lay theirs out.
namespace varnoquil::bench {

// The text of a DAT of games entries: the images' own entries (their sizes
// and hashes), then made-up ones of deterministic pseudo-random hashes.
std::string MakeDat(std::size_t games, const std::vector<std::string>& images);

} // namespace varnoquil::bench
