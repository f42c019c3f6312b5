// varnoquil-cli: the program's commands for scripts and batch work.

#include "errors.h"
#include "fix_gems.h"
#include "gems.h"
#include "rom.h"
#include "scale.h"
#include "text.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>

using namespace varnoquil;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitIoError = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitChecksumDiffers = 3;

const char* const kSynopsis = R"(Varnoquil's commands for Sega Mega Drive ROM images.

  varnoquil-cli info FILE
  varnoquil-cli checksum [--fix] FILE
  varnoquil-cli fix-gems [--preset NAME] [--fm SCALE] [--psg SCALE] [--no-checksum] IN OUT
  varnoquil-cli tables [--fm SCALE] [--psg SCALE]
)";

const char* const kFooter = R"(
SCALE is a decimal number above 0 written with "." (1.25). A scale is the
factor applied to every note's frequency: 2 is one octave up.

Files: only regular files are read or written; FIFOs, devices, sockets and
/proc or /sys files are refused. Reading (info, checksum, the IN of fix-gems)
needs no write permission; checksum --fix does. A symbolic link as OUT is
written through to its target. OUT is written to a temporary file beside it
that takes its name once complete, and is removed on Ctrl+C or a SIGTERM.

Exit status: 0 done, 1 file error (also not enough memory, or standard output
that cannot be written), 2 bad command line or scale, 3 checksum differs
(checksum without --fix).
Run 'varnoquil-cli COMMAND --help' for a command's options.)";

// A request the command line itself gets wrong.
class UsageError : public Error {
public:
    using Error::Error;
};

double ParseScale(const std::string& text)
{
    const double scale = ParseDecimal(text, '.');
    if (!(scale > 0))
        throw UsageError("The scale '" + text + "' is not above 0");
    return scale;
}

double ScaleOr(const std::optional<std::string>& text, double fallback)
{
    return text ? ParseScale(*text) : fallback;
}

int RunInfo(const std::string& file)
{
    iSMD_ header;
    ReadHeader(file, header);
    std::string text = InformationText(header);
    // A header's bytes must not reach a terminal as escape sequences; into a
    // file or a pipe they go as they are.
    if (::isatty(STDOUT_FILENO))
        text = ControlBytesAsQuestionMarks(text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int RunChecksum(const std::string& file, bool fix)
{
    iSMD_ header;
    ReadHeader(file, header);
    std::printf("stored %s computed %s\n", Hex4(header.HeaderCrc).c_str(), Hex4(header.FileCrc).c_str());
    if (fix) {
        WriteChecksum(file, header.FileCrc);
        return kExitOk;
    }
    return header.HeaderCrc == header.FileCrc ? kExitOk : kExitChecksumDiffers;
}

struct FixGemsOptions {
    std::string in, out, preset = ScalePresets()[0].name;
    std::optional<std::string> fm, psg;
    bool noChecksum = false;
};

// Prints the status texts of a run as lines: CR LF becomes a line break, and
// a line left open by a failure is closed.
class StatusPrinter {
public:
    void append(const std::string& text)
    {
        for (std::size_t at = 0; at < text.size(); ++at) {
            const bool lineBreak = text.compare(at, 2, kCrLf) == 0;
            std::fputc(lineBreak ? '\n' : text[at], stdout);
            at += lineBreak ? 1 : 0;
            lineOpen_ = !lineBreak;
        }
        std::fflush(stdout);
    }
    void closeLine()
    {
        if (lineOpen_)
            std::fputc('\n', stdout);
        lineOpen_ = false;
    }

private:
    bool lineOpen_ = false;
};

int RunFixGems(const FixGemsOptions& options)
{
    const ScalePreset& preset = ScalePresetNamed(options.preset);
    if (preset.custom)
        throw UsageError("The custom preset takes its scales from --fm and --psg");
    const FixGemsRequest request{options.in, options.out, ScaleOr(options.fm, preset.fmThousandths / 1000.0),
                                 ScaleOr(options.psg, preset.psgThousandths / 1000.0), !options.noChecksum};
    StatusPrinter printer;
    FixGemsProgress progress;
    progress.appendStatus = [&](const std::string& text) { printer.append(text); };
    a_byte image;
    try {
        FixGems(request, progress, image);
    } catch (...) {
        printer.closeLine();
        throw;
    }
    printer.closeLine();
    return kExitOk;
}

template <std::size_t N>
void PrintTable(const char* name, const std::array<std::uint16_t, N>& entries)
{
    std::string line = name;
    for (std::uint16_t entry : entries)
        line += " " + Hex4(entry);
    std::printf("%s\n", line.c_str());
}

int RunTables(const std::optional<std::string>& fm, const std::optional<std::string>& psg)
{
    const double fmScale = ScaleOr(fm, 1.0), psgScale = ScaleOr(psg, 1.0);
    PrintTable("fm:", BuildFmTable(fmScale));
    PrintTable("psg:", BuildPsgTable(psgScale));
    return kExitOk;
}

// A file name argument; an empty one names no file.
CLI::Option* AddFileArgument(CLI::App* command, const std::string& name, std::string& file, const std::string& what)
{
    const CLI::Validator named([](const std::string& text) { return text.empty() ? "Expected a file name" : ""; },
                               "", "");
    return command->add_option(name, file, what)->required()->check(named);
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

    std::string file;
    CLI::App* info = app.add_subcommand("info", "Write the cartridge header information of a ROM image, as the "
                                                "window shows it: CR LF line breaks, text fields as raw bytes (on a "
                                                "terminal, control bytes show as '?').");
    AddFileArgument(info, "FILE", file, "The ROM image (only read)");
    info->callback([&] { status = RunInfo(file); });

    bool fix = false;
    CLI::App* checksum = app.add_subcommand(
        "checksum", "Print \"stored XXXX computed YYYY\": the checksum stored in the header and the one computed "
                    "over the image. Exit 0 when they are equal, 3 when they differ.");
    checksum->add_flag("--fix", fix, "Write the computed checksum into the header and exit 0; the line shows the "
                                     "values read before the write");
    AddFileArgument(checksum, "FILE", file, "The ROM image (--fix needs write permission)");
    checksum->callback([&] { status = RunChecksum(file, fix); });

    FixGemsOptions gems;
    CLI::App* fixGems = app.add_subcommand(
        "fix-gems", "Retune the GEMS sound driver: replace the FM and PSG pitch tables found in IN by tables for "
                    "the given scales and write the result to OUT (never to IN itself). Prints each status line.");
    fixGems->add_option("--preset", gems.preset,
                        "Both scales at once (default \"Sega Tavrik\"): \"Sega Tavrik\" (1.25, 1.5), \"Very Hi\" "
                        "(2, 2), \"Little Hi\" (1.5, 1.5), \"Default\" (1, 1), \"Little Low\" (0.5, 0.5), "
                        "\"Very Low\" (0.001, 0.001)")
        ->type_name("NAME");
    AddScaleOption(fixGems, "--fm", gems.fm, "The FM scale, instead of the preset's");
    AddScaleOption(fixGems, "--psg", gems.psg, "The PSG scale, instead of the preset's");
    fixGems->add_flag("--no-checksum", gems.noChecksum, "Leave the header checksum of OUT as IN has it");
    AddFileArgument(fixGems, "IN", gems.in, "The ROM image to retune (only read)");
    AddFileArgument(fixGems, "OUT", gems.out, "The file to write (a link is written through)");
    fixGems->callback([&] { status = RunFixGems(gems); });

    std::optional<std::string> fm, psg;
    CLI::App* tables = app.add_subcommand("tables", "Print the FM table (13 entries) and the PSG table (64 entries) "
                                                    "computed for the scales (default 1), as hexadecimal words.");
    AddScaleOption(tables, "--fm", fm, "The FM scale");
    AddScaleOption(tables, "--psg", psg, "The PSG scale");
    tables->callback([&] { status = RunTables(fm, psg); });

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
