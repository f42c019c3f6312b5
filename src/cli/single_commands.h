// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// The commands that work on one image, or on none.
namespace varnoquil::cli {

struct FixGemsOptions {
    std::string in, out;
    std::string preset = "Sega Tavrik";
    std::optional<std::string> fm, psg;
    bool noChecksum = false;
    bool json = false;
};

// Each returns the exit status.
int RunFixGems(const FixGemsOptions& options);
int RunConvert(const std::string& in, const std::string& out);
int RunTables(const std::optional<std::string>& fm, const std::optional<std::string>& psg);
int RunEngines(const std::string& text);

} // namespace varnoquil::cli
