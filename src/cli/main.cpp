// SPDX-License-Identifier: MIT
// varnoquil-cli: the program's commands for scripts and batch work.

#include "collection_commands.h"
#include "errors.h"
#include "exit_status.h"
#include "fix_gems.h"
#include "gems.h"
#include "json_report.h"
#include "rom.h"
#include "rom_format.h"
#include "scale.h"
#include "sound_engines.h"
#include "text.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <string>

using namespace varnoquil;
using namespace varnoquil::cli;

namespace {

const char* const kSynopsis = R"(Varnoquil's commands for Sega Mega Drive ROM images.

  varnoquil-cli info [-r] [--json] PATH...
  varnoquil-cli checksum [--fix [--force]] [-r] [--json] PATH...
  varnoquil-cli scan [-r] [--json] PATH...
  varnoquil-cli fix-gems [--preset NAME] [--fm SCALE] [--psg SCALE] [--no-checksum] [--json] IN OUT
  varnoquil-cli deinterleave IN OUT
  varnoquil-cli tables [--fm SCALE] [--psg SCALE]
  varnoquil-cli engines [TEXT]

A PATH that is a folder stands for its files whose names end in ".bin" (any
case), sorted by name; -r also takes those of its subfolders (symbolic links
to folders are not followed). A file named explicitly is taken whatever its
extension. With more than one file, each result names its file, an error is
reported as "PATH: message" and the run goes on, and a last line on stderr
sums up.
)";

const char* const kFooter = R"(
SCALE is a decimal number above 0 written with "." (1.25). A scale is the
factor applied to every note's frequency: 2 is one octave up.

Files: only regular files are read or written; FIFOs, devices, sockets and
/proc or /sys files are refused. Reading (info, checksum, scan, the IN of
fix-gems and deinterleave) needs no write permission; checksum --fix does. A
symbolic link as OUT is written through to its target. OUT is written to a
temporary file beside it that takes its name once complete, and is removed
on Ctrl+C or a SIGTERM.

Exit status: 0 done, 1 file error (any file, when there are many; also not
enough memory, or standard output that cannot be written), 2 bad command
line or scale, 3 checksum differs (checksum without --fix), 4 no GEMS table
found (fix-gems).
Run 'varnoquil-cli COMMAND --help' for a command's options.)";

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

struct FixGemsOptions {
    std::string in, out, preset = ScalePresets()[0].name;
    std::optional<std::string> fm, psg;
    bool noChecksum = false;
    bool json = false;
};

// Prints the status texts of a run as lines, unless asked not to: CR LF
// becomes a line break, and a line left open by a failure is closed.
class StatusLines {
public:
    explicit StatusLines(bool print) : print_(print) {}

    void append(const std::string& text)
    {
        for (std::size_t at = 0; at < text.size(); ++at) {
            const bool lineBreak = text.compare(at, 2, kCrLf) == 0;
            put(lineBreak ? '\n' : text[at]);
            at += lineBreak ? 1 : 0;
            lineOpen_ = !lineBreak;
        }
        std::fflush(stdout);
    }
    void closeLine()
    {
        if (lineOpen_)
            put('\n');
        lineOpen_ = false;
    }

private:
    void put(char c)
    {
        if (print_)
            std::fputc(c, stdout);
    }

    bool print_;
    bool lineOpen_ = false;
};

std::string EntryCount(int n, const char* table)
{
    return std::to_string(n) + " " + table + (n == 1 ? " entry" : " entries");
}

// What does not fit in the tables that a run wrote: the bytes stay as
// computed, but the user should know.
std::vector<std::string> TableWarnings(const FixGemsRequest& request, bool fmWritten, bool psgWritten)
{
    std::vector<std::string> warnings;
    if (fmWritten) {
        if (const int n = WrappedFmEntries(request.fmScale))
            warnings.push_back(EntryCount(n, "FM") + " wrapped past 16 bits");
        if (const int n = FmEntriesAbove11Bits(request.fmScale))
            warnings.push_back(EntryCount(n, "FM") + " exceed " + std::to_string(kFmFieldMax)
                               + ", the chip's 11-bit field");
    }
    if (psgWritten)
        if (const int n = WrappedPsgEntries(request.psgScale))
            warnings.push_back(EntryCount(n, "PSG") + " wrapped past 16 bits");
    return warnings;
}

int RunFixGems(const FixGemsOptions& options)
{
    const ScalePreset& preset = ScalePresetNamed(options.preset);
    if (preset.custom)
        throw UsageError("The custom preset takes its scales from --fm and --psg");
    const FixGemsRequest request{options.in, options.out, ScaleOr(options.fm, preset.fmThousandths / 1000.0),
                                 ScaleOr(options.psg, preset.psgThousandths / 1000.0), !options.noChecksum};
    StatusLines status(!options.json);
    FixGemsProgress progress;
    progress.appendStatus = [&](const std::string& text) { status.append(text); };
    a_byte image;
    FixGemsResult result;
    try {
        result = FixGems(request, progress, image);
    } catch (const std::exception& error) {
        status.closeLine();
        if (options.json)
            PrintJsonLine(ErrorJson(options.in, error.what()));
        throw;
    }
    status.closeLine();

    const bool fmFixed = result.fmFixed, psgFixed = result.psgFixed;
    const std::vector<std::string> warnings = TableWarnings(request, fmFixed, psgFixed);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "warning: %s\n", warning.c_str());
    if (options.json)
        PrintJsonLine({{"file", options.in},
                       {"output", options.out},
                       {"fm_fixed", fmFixed},
                       {"psg_fixed", psgFixed},
                       {"warnings", warnings}});
    if (fmFixed || psgFixed)
        return kExitOk;
    std::fputs("no GEMS tables found\n", stderr);
    return kExitNoTables;
}

template <std::size_t N>
void PrintTable(const char* name, const std::array<std::uint16_t, N>& entries)
{
    std::string line = name;
    for (std::uint16_t entry : entries)
        line += " " + Hex4(entry);
    std::printf("%s\n", line.c_str());
}

// A file name argument; an empty one names no file.
const CLI::Validator kNamed([](const std::string& text) { return text.empty() ? "Expected a file name" : ""; }, "", "");

CLI::Option* AddFileArgument(CLI::App* command, const std::string& name, std::string& file, const std::string& what)
{
    return command->add_option(name, file, what)->required()->check(kNamed);
}

int RunEngines(const std::string& text)
{
    for (const SoundEngineRow& row : SoundEnginesMatching(ShippedSoundEngines(), text))
        std::printf("%s\t%s\n", row.game.c_str(), row.engine.c_str());
    return kExitOk;
}

int RunTables(const std::optional<std::string>& fm, const std::optional<std::string>& psg)
{
    const double fmScale = ScaleOr(fm, 1.0), psgScale = ScaleOr(psg, 1.0);
    PrintTable("fm:", BuildFmTable(fmScale));
    PrintTable("psg:", BuildPsgTable(psgScale));
    return kExitOk;
}

CLI::Option* AddScaleOption(CLI::App* command, const std::string& name, std::optional<std::string>& text,
                            const std::string& what)
{
    return command->add_option(name, text, what)->type_name("SCALE");
}

int Run(int argc, char** argv)
{
    CLI::App app(kSynopsis, "varnoquil-cli");
    app.set_version_flag("--version", std::string("varnoquil-cli ") + VARNOQUIL_VERSION);
    app.footer(kFooter);
    app.require_subcommand(1);
    int status = kExitOk;

    CollectionOptions collection;
    const auto addCollection = [&](CLI::App* command) {
        command->add_option("PATH", collection.paths, "ROM images, or folders of them (only read)")
            ->required()
            ->check(kNamed);
        command->add_flag("-r,--recursive", collection.recursive, "Take the images of subfolders too");
        command->add_flag("--json", collection.json,
                          "Print one JSON object per file and line (the keys are in the README)");
    };

    const auto addCollectionCommand = [&](const char* name, const std::string& description, std::function<int()> run) {
        CLI::App* command = app.add_subcommand(name, description);
        addCollection(command);
        command->callback([&status, run] { status = run(); });
        return command;
    };

    addCollectionCommand(
        "info",
        "Write the cartridge header information of ROM images, as the window shows it: CR LF line breaks, "
        "text fields as raw bytes (on a terminal, control bytes show as '?'). With many files, each text "
        "follows a line \"PATH:\".",
        [&] { return RunInfo(collection); });

    ChecksumOptions repair;
    CLI::App* checksum = addCollectionCommand(
        "checksum",
        "Print \"stored XXXX computed YYYY\": the checksum stored in the header and the one computed "
        "over the image (\"PATH: stored XXXX computed YYYY\" with many files, \" fixed\" added when "
        "--fix wrote it). Exit 0 when they are equal, 3 when one differs.",
        [&] { return RunChecksum(collection, repair); });
    CLI::Option* fixOption
        = checksum->add_flag("--fix", repair.fix,
                             "Write the computed checksum into the header when it differs and exit 0; the line shows "
                             "the values read before the write. Refuses images that are not plain cartridge images "
                             "(\"Not a cartridge ROM image\")");
    checksum->add_flag("--force", repair.force, "With --fix, repair whatever the image's format")->needs(fixOption);

    addCollectionCommand(
        "scan",
        "Print every offset where the GEMS FM and PSG tables are found, one line each (\"fm 0x0001F3A2\", "
        "\"psg 0x...\"). Nothing is written.",
        [&] { return RunScan(collection); });

    FixGemsOptions gems;
    CLI::App* fixGems = app.add_subcommand(
        "fix-gems",
        "Retune the GEMS sound driver: replace the FM and PSG pitch tables found in IN by tables for "
        "the given scales and write the result to OUT (never to IN itself). Prints each status line. "
        "Exit 4 (\"no GEMS tables found\") when neither table was found; OUT is written all the same.");
    fixGems
        ->add_option("--preset", gems.preset,
                     "Both scales at once (default \"Sega Tavrik\"): \"Sega Tavrik\" (1.25, 1.5), \"Very Hi\" "
                     "(2, 2), \"Little Hi\" (1.5, 1.5), \"Default\" (1, 1), \"Little Low\" (0.5, 0.5), "
                     "\"Very Low\" (0.001, 0.001)")
        ->type_name("NAME");
    AddScaleOption(fixGems, "--fm", gems.fm, "The FM scale, instead of the preset's");
    AddScaleOption(fixGems, "--psg", gems.psg, "The PSG scale, instead of the preset's");
    fixGems->add_flag("--no-checksum", gems.noChecksum, "Leave the header checksum of OUT as IN has it");
    fixGems->add_flag("--json", gems.json, "Print the result as one JSON object instead of the status lines");
    AddFileArgument(fixGems, "IN", gems.in, "The ROM image to retune (only read)");
    AddFileArgument(fixGems, "OUT", gems.out, "The file to write (a link is written through)");
    fixGems->callback([&] { status = RunFixGems(gems); });

    std::optional<std::string> fm, psg;
    CLI::App* tables = app.add_subcommand("tables",
                                          "Print the FM table (13 entries) and the PSG table (64 entries) "
                                          "computed for the scales (default 1), as hexadecimal words.");
    AddScaleOption(tables, "--fm", fm, "The FM scale");
    AddScaleOption(tables, "--psg", psg, "The PSG scale");
    tables->callback([&] { status = RunTables(fm, psg); });

    std::string in, out;
    CLI::App* deinterleave
        = app.add_subcommand("deinterleave",
                             "Write the plain cartridge image held in an interleaved copier dump (\"SMD\") to OUT. "
                             "Refuses anything else (exit 1).");
    AddFileArgument(deinterleave, "IN", in, "The interleaved dump (only read)");
    AddFileArgument(deinterleave, "OUT", out, "The file to write (never IN itself; a link is written through)");
    deinterleave->callback([&] {
        DeinterleaveFile(in, out);
        status = kExitOk;
    });

    std::string text;
    CLI::App* engines
        = app.add_subcommand("engines",
                             "Print the sound engine list's rows (game TAB engine) whose game or engine contains TEXT, "
                             "ignoring case, in the list's order; all rows without TEXT.");
    engines->add_option("TEXT", text, "What to look for");
    engines->callback([&] { status = RunEngines(text); });

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    return status;
}

// Output that never reached standard output (a full disk, a closed pipe
// whose SIGPIPE is ignored) is a failure, not a success.
void FlushStandardOutput()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return;
    const int err = errno;
    const std::string why = err ? std::string(": ") + IoError::fromErrno(err).what() : "";
    throw FileError("Cannot write to standard output" + why);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const int status = Run(argc, argv);
        FlushStandardOutput();
        return status;
    } catch (const FileError& error) {
        std::cerr << error.what() << '\n';
        return kExitIoError;
    } catch (const UsageError& error) {
        std::cerr << error.what() << "\nTry 'varnoquil-cli --help'.\n";
        return kExitBadInput;
    } catch (const Error& error) {
        std::cerr << error.what() << '\n';
        return kExitBadInput;
    } catch (const std::bad_alloc&) {
        std::cerr << NotEnoughMemoryError().what() << '\n';
        return kExitIoError;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return kExitIoError;
    }
}
