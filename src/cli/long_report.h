// SPDX-License-Identifier: MIT
#pragma once

#include "rom/image_report.h"

#include <cstdint>
#include <string>

// The decoded header as people read it: aligned "key: value" lines, regions
// and hardware in words, sizes in KiB and MiB.
namespace varnoquil::cli {

std::string LongReport(const ImageReport& report);

// A size as people read it: "512 bytes", "64 KiB", "1.5 MiB".
std::string SizeText(std::int64_t bytes);

} // namespace varnoquil::cli
