// varnoquil-cli: the program's commands for scripts and batch work.

#include "errors.h"
#include "fix_gems.h"
#include "gems.h"
#include "rom.h"
#include "scale.h"
#include "text.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace varnoquil;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitIoError = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitChecksumDiffers = 3;

const char* const kUsage = R"(Usage: varnoquil-cli COMMAND [OPTIONS] FILE...

Commands:
  info FILE
      Write the cartridge header information of a ROM image, as the window
      shows it: CR LF line breaks, text fields as raw bytes.
  checksum [--fix] FILE
      Print "stored XXXX computed YYYY": the checksum stored in the header and
      the one computed over the image. Exit 0 when they are equal, 3 when they
      differ. With --fix, write the computed checksum into the header and
      exit 0; the line shows the values read before the write.
  fix-gems [--preset NAME] [--fm SCALE] [--psg SCALE] [--no-checksum] IN OUT
      Retune the GEMS sound driver: replace the FM and PSG pitch tables found
      in IN by tables for the given scales and write the result to OUT (never
      to IN itself). The preset gives both scales (default "Sega Tavrik");
      --fm or --psg overrides one of them. The header checksum of OUT is
      repaired unless --no-checksum is given. Prints each status line.
      Presets: "Sega Tavrik" (1.25, 1.5), "Very Hi" (2, 2), "Little Hi"
      (1.5, 1.5), "Default" (1, 1), "Little Low" (0.5, 0.5), "Very Low"
      (0.001, 0.001).
  tables [--fm SCALE] [--psg SCALE]
      Print the FM table (13 entries) and the PSG table (64 entries) computed
      for the scales (default 1), as four-digit hexadecimal words.

SCALE is a decimal number above 0 written with "." (1.25). A scale is the
factor applied to every note's frequency: 2 is one octave up.

Exit status: 0 done, 1 file error, 2 bad command line or scale, 3 checksum
differs (checksum without --fix).

Options:
  --help      show this text
  --version   show the version
)";

class UsageError : public Error {
public:
    using Error::Error;
};

double parseScale(const std::string& text)
{
    const double scale = ParseDecimal(text, '.');
    if (!(scale > 0))
        throw UsageError("The scale '" + text + "' is not above 0");
    return scale;
}

// Splits arguments into options (with their values) and positional ones.
class Arguments {
public:
    Arguments(std::vector<std::string> args, std::vector<std::string> flags, std::vector<std::string> valued)
    {
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (contains(flags, arg)) {
                options_.push_back({arg, ""});
            } else if (contains(valued, arg)) {
                if (i + 1 >= args.size())
                    throw UsageError("Option " + arg + " needs a value");
                options_.push_back({arg, args[++i]});
            } else if (arg.size() > 1 && arg[0] == '-') {
                throw UsageError("Unknown option " + arg);
            } else {
                positional_.push_back(arg);
            }
        }
    }

    bool has(const std::string& name) const
    {
        for (const auto& option : options_)
            if (option.first == name)
                return true;
        return false;
    }

    // The last value given for an option, or fallback.
    std::string value(const std::string& name, const std::string& fallback) const
    {
        std::string result = fallback;
        for (const auto& option : options_)
            if (option.first == name)
                result = option.second;
        return result;
    }

    const std::vector<std::string>& positional(std::size_t expected, const char* what) const
    {
        if (positional_.size() != expected)
            throw UsageError(std::string("Expected ") + what);
        return positional_;
    }

private:
    static bool contains(const std::vector<std::string>& list, const std::string& item)
    {
        for (const auto& entry : list)
            if (entry == item)
                return true;
        return false;
    }

    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> positional_;
};

int runInfo(const Arguments& args)
{
    const std::string file = args.positional(1, "one FILE")[0];
    iSMD_ header;
    ReadHeader(file, header);
    const std::string text = InformationText(header);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int runChecksum(const Arguments& args)
{
    const std::string file = args.positional(1, "one FILE")[0];
    iSMD_ header;
    ReadHeader(file, header);
    std::printf("stored %s computed %s\n", Hex4(header.HeaderCrc).c_str(), Hex4(header.FileCrc).c_str());
    if (args.has("--fix")) {
        WriteChecksum(file, header.FileCrc);
        return kExitOk;
    }
    return header.HeaderCrc == header.FileCrc ? kExitOk : kExitChecksumDiffers;
}

int runFixGems(const Arguments& args)
{
    const auto& files = args.positional(2, "IN and OUT");
    const ScalePreset& preset = ScalePresetNamed(args.value("--preset", ScalePresets()[0].name));
    if (preset.custom)
        throw UsageError("The custom preset takes its scales from --fm and --psg");

    FixGemsRequest request;
    request.inFile = files[0];
    request.outFile = files[1];
    request.fmScale = args.has("--fm") ? parseScale(args.value("--fm", "")) : preset.fmThousandths / 1000.0;
    request.psgScale = args.has("--psg") ? parseScale(args.value("--psg", "")) : preset.psgThousandths / 1000.0;
    request.fixChecksum = !args.has("--no-checksum");

    bool lineOpen = false;
    FixGemsProgress progress;
    progress.appendStatus = [&](const std::string& text) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text.compare(at, 2, "\r\n") == 0) {
                std::fputc('\n', stdout);
                ++at;
                lineOpen = false;
            } else {
                std::fputc(text[at], stdout);
                lineOpen = true;
            }
        }
        std::fflush(stdout);
    };
    a_byte image;
    try {
        FixGems(request, progress, image);
    } catch (...) {
        if (lineOpen)
            std::fputc('\n', stdout);
        throw;
    }
    std::fputc('\n', stdout);
    return kExitOk;
}

void printTable(const char* name, const std::uint16_t* entries, std::size_t n)
{
    std::string line = name;
    for (std::size_t i = 0; i < n; ++i)
        line += " " + Hex4(entries[i]);
    std::printf("%s\n", line.c_str());
}

int runTables(const Arguments& args)
{
    args.positional(0, "no FILE");
    const double fm = args.has("--fm") ? parseScale(args.value("--fm", "")) : 1.0;
    const double psg = args.has("--psg") ? parseScale(args.value("--psg", "")) : 1.0;
    const FmTable fmTable = BuildFmTable(fm);
    const PsgTable psgTable = BuildPsgTable(psg);
    printTable("fm:", fmTable.data(), fmTable.size());
    printTable("psg:", psgTable.data(), psgTable.size());
    return kExitOk;
}

int run(const std::vector<std::string>& argv)
{
    if (argv.empty())
        throw UsageError("No command given");
    const std::string& command = argv[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("varnoquil-cli %s\n", VARNOQUIL_VERSION);
        return kExitOk;
    }
    const std::vector<std::string> rest(argv.begin() + 1, argv.end());
    if (command == "info")
        return runInfo(Arguments(rest, {}, {}));
    if (command == "checksum")
        return runChecksum(Arguments(rest, {"--fix"}, {}));
    if (command == "fix-gems")
        return runFixGems(Arguments(rest, {"--no-checksum"}, {"--preset", "--fm", "--psg"}));
    if (command == "tables")
        return runTables(Arguments(rest, {}, {"--fm", "--psg"}));
    throw UsageError("Unknown command '" + command + "'");
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const IoError& error) {
        std::cerr << error.what() << '\n';
        return kExitIoError;
    } catch (const UsageError& error) {
        std::cerr << error.what() << "\nTry 'varnoquil-cli --help'.\n";
        return kExitBadInput;
    } catch (const Error& error) {
        std::cerr << error.what() << '\n';
        return kExitBadInput;
    }
}
