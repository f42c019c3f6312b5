// SPDX-License-Identifier: MIT
#include "single_commands.h"

#include "console.h"
#include "exit_status.h"
#include "gems/fix_gems.h"
#include "gems/gems.h"
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

double ParseScale(const std::string& text)
{
    const double scale = ParseDecimal(text, '.');
    if (!IsValidScale(scale))
        throw UsageError("The scale '" + text + "' is not above 0");
    return scale;
}

double ScaleOr(const std::optional<std::string>& text, double fallback)
{
    return text ? ParseScale(*text) : fallback;
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

// Prints the status texts of a run as lines as they come, unless asked not
// to: CR LF becomes a line break, and the last line, which the run leaves
// open, is closed.
class StatusLines {
public:
    explicit StatusLines(bool print) : print_(print) {}

    void append(const std::string& text)
    {
        std::string lines;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const bool lineBreak = text.compare(at, 2, kCrLf) == 0;
            lines += lineBreak ? '\n' : text[at];
            at += lineBreak ? 1 : 0;
            lineOpen_ = !lineBreak;
        }
        put(lines);
    }
    void closeLine()
    {
        if (lineOpen_)
            put("\n");
        lineOpen_ = false;
    }

private:
    void put(const std::string& text) const
    {
        if (print_)
            ShowOut(text);
    }

    bool print_;
    bool lineOpen_ = false;
};

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
    request.fmScale = ScaleOr(options.fm, preset.fmThousandths / 1000.0);
    request.psgScale = ScaleOr(options.psg, preset.psgThousandths / 1000.0);
    request.fixChecksum = !options.noChecksum;
    StatusLines status(!options.json);
    FixGemsProgress progress;
    progress.appendStatus = [&](const std::string& text) { status.append(text); };
    a_byte image;
    FixGemsResult result;
    try {
        result = FixGems(request, progress, image);
    } catch (const Error& error) {
        if (options.json)
            WriteOut(JsonLine(ErrorJson(error.path().empty() ? options.in : error.path(), error.what())));
        throw;
    }
    status.closeLine();

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

int RunDeinterleave(const std::string& in, const std::string& out)
{
    DeinterleaveFile(in, out);
    return kExitOk;
}

int RunTables(const std::optional<std::string>& fm, const std::optional<std::string>& psg)
{
    const double fmScale = ScaleOr(fm, 1.0), psgScale = ScaleOr(psg, 1.0);
    WriteOut(TableLine("fm:", BuildFmTable(fmScale)) + TableLine("psg:", BuildPsgTable(psgScale)));
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
