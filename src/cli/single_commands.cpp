// SPDX-License-Identifier: MIT
#include "single_commands.h"

#include "console.h"
#include "exit_status.h"
#include "gems/fix_gems.h"
#include "gems/pitch_tables.h"
#include "gems/scale.h"
#include "json_report.h"
#include "rom/rom_format.h"
#include "text.h"
#include "ui/sound_engines.h"

#include <array>
#include <cstdint>
#include <vector>

namespace varnoquil::cli {

namespace {

Scale ScaleOr(const std::optional<std::string>& text, double fallback)
{
    return Scale(text ? ParseDecimal(*text, '.') : fallback);
}

// The presets a command line may name: all but the window's "Custom".
const ScalePreset& PresetNamed(const std::string& name)
{
    std::string names;
    for (const ScalePreset& preset : ScalePresets()) {
        if (name == preset.name && preset.custom)
            throw UsageError("The custom preset takes its scales from --fm and --psg");
        if (name == preset.name)
            return preset;
        if (!preset.custom)
            names += std::string(names.empty() ? "" : ", ") + "\"" + preset.name + "\"";
    }
    throw UsageError("unknown preset '" + name + "' (the presets are " + names + ")");
}

template <std::size_t N>
std::string TableLine(const char* name, const std::array<std::uint16_t, N>& entries)
{
    std::string line = name;
    for (std::uint16_t entry : entries)
        line += " " + Hex4(entry);
    return line + "\n";
}

} // namespace

int RunFixGems(const FixGemsOptions& options)
{
    const ScalePreset& preset = PresetNamed(options.preset);
    FixGemsRequest request;
    request.inFile = options.in;
    request.outFile = options.out;
    request.scales.fm = ScaleOr(options.fm, preset.fmThousandths / 1000.0);
    request.scales.psg = ScaleOr(options.psg, preset.psgThousandths / 1000.0);
    request.fixChecksum = !options.noChecksum;
    FixGemsProgress progress;
    if (!options.json)
        progress.reached = [](FixGemsStep step) { ShowOut(std::string(StatusLine(step)) + "\n"); };
    a_byte image;
    FixGemsResult result;
    try {
        result = FixGems(request, progress, image);
    } catch (const Error& error) {
        if (options.json)
            WriteOut(JsonLine(ErrorJson(error.path().empty() ? options.in : error.path(), error.what())));
        throw;
    }

    const std::vector<std::string> warnings = FixGemsWarnings(result);
    for (const std::string& warning : warnings)
        Complain("warning: " + warning);
    if (options.json)
        WriteOut(JsonLine({{"file", options.in},
                           {"output", options.out},
                           {"fm_fixed", result.fmFixed},
                           {"psg_fixed", result.psgFixed},
                           {"warnings", warnings}}));
    if (result.fmFixed || result.psgFixed)
        return kExitOk;
    ComplainAbout(options.in, "no GEMS tables found");
    return kExitNoTables;
}

int RunConvert(const std::string& in, const std::string& out)
{
    ConvertToPlainImage(in, out);
    return kExitOk;
}

int RunTables(const std::optional<std::string>& fm, const std::optional<std::string>& psg)
{
    WriteOut(TableLine("fm:", BuildFmTable(ScaleOr(fm, 1.0))) + TableLine("psg:", BuildPsgTable(ScaleOr(psg, 1.0))));
    return kExitOk;
}

int RunEngines(const std::string& text)
{
    std::string lines;
    for (const SoundEngineRow& row : SoundEnginesMatching(ShippedSoundEngines(), text))
        lines += row.game + "\t" + row.engine + "\n";
    WriteOut(lines);
    return kExitOk;
}

} // namespace varnoquil::cli
