// SPDX-License-Identifier: MIT
#pragma once

#include "identify/dat_index.h"
#include "rom/image_report.h"

#include <nlohmann/json.hpp>

#include <string>

// The JSON objects the tool prints with --json, one per file and line.
namespace varnoquil::cli {

using Json = nlohmann::ordered_json;

// Everything known about an image, under the keys the README documents.
Json ReportJson(const std::string& file, const ImageReport& report);

// The DAT entry an image matched, or null.
Json DatJson(const std::optional<DatMatch>& match);

// What stands in place of a file's object when its command failed.
Json ErrorJson(const std::string& file, const std::string& message);

// One object as a line of text. Texts that are not UTF-8 (a file name's
// bytes) get U+FFFD for each bad byte.
std::string JsonLine(const Json& object);

} // namespace varnoquil::cli
