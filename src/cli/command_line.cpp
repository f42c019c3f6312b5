// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "collection_commands.h"
#include "console.h"
#include "exit_status.h"
#include "help.h"
#include "platform/platform.h"
#include "single_commands.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace varnoquil::cli {

namespace {

const char* const kExitNote = "Exit status: 0 done, 1 a file could not be read or written, 2 a bad command line";

const char* const kCollectionNote
    = "A PATH that is a folder stands for its files whose names end in \".bin\" (any case), sorted by name; -r "
      "takes those of its subfolders first (hidden folders and symbolic links to folders are not entered). A file "
      "named explicitly is taken whatever its extension. With more than one file, each result names its file, an "
      "error is written to standard error as \"PATH: message\" and the run goes on, and a last line sums up. A "
      "folder or an entry that cannot be read counts as a failed file, and makes the exit status 1.";

const char* const kJsonNote = "--json prints one JSON object per file and line; varnoquil-cli(1) describes its keys.";

const char* const kDatNote
    = "A DAT file is Logiqx XML, the format of the No-Intro and Redump catalogues. The DATs are read before any "
      "image; one that cannot be read, is not well-formed XML or not a Logiqx DAT stops the run with the line at "
      "fault, exit status 2.";

const char* const kScaleNote = "SCALE is a decimal number above 0 written with \".\" (1.25). It multiplies every "
                               "note's frequency: 2 is one octave up, 0.5 one octave down.";

const char* const kOutputNote
    = "IN is only read. OUT is written to a temporary file beside it that takes its name once complete (a failure "
      "or Ctrl+C leaves any old OUT as it was); a symbolic link as OUT is written through to the file it names.";

// A file name argument; an empty one names no file.
const CLI::Validator kNamed([](const std::string& text) { return text.empty() ? "Expected a file name" : ""; }, "", "");

// The commands' options, filled by the parse.
struct Options {
    CollectionOptions collection;
    HashKinds hashes;
    ChecksumOptions repair;
    FixGemsOptions gems;
    std::optional<std::string> fm, psg;
    std::string in, out, text;
};

class CommandLine {
public:
    CommandLine();
    int run(int argc, char** argv);

private:
    CLI::App* command(const char* name, const std::string& description, HelpPage page, std::function<int()> work);
    CLI::App* collectionCommand(const char* name, const std::string& description, HelpPage page,
                                std::function<int()> work, bool json = true);
    void addDats(CLI::App* command, const std::string& description);
    void addInAndOut(CLI::App* command, const std::string& in, const std::string& out);
    void addScales(CLI::App* command, const std::string& fm, const std::string& psg);
    void addCommands();
    void refuseExtras() const;

    CLI::App app_{"Show, check, repair and retune Sega Mega Drive (Genesis) ROM images.", kProgram};
    std::shared_ptr<HelpFormatter> help_ = std::make_shared<HelpFormatter>();
    Options options_;
    std::vector<std::pair<CLI::App*, std::function<int()>>> work_;
};

CommandLine::CommandLine()
{
    app_.formatter(help_);
    app_.set_help_flag("-h,--help", "Print this help and exit");
    app_.set_version_flag("-v,--version", std::string(kProgram) + " " + VARNOQUIL_VERSION,
                          "Print the version and exit");
    // Unknown words are looked at after the parse, to name them plainly.
    app_.allow_extras();
    // A word that begins with "/" is a path, on Windows too.
    app_.allow_windows_style_options(false);
    help_->addPage(kProgram,
                   {"COMMAND [OPTION]... [--] ARGUMENT...", "",
                    "Run 'varnoquil-cli COMMAND --help' for what a command does and its options. A file name that "
                    "begins with \"-\" follows \"--\": varnoquil-cli info -- -game.bin\n\n"
                        + std::string(kExitNote)
                        + "; 3 a checksum differs (checksum); 4 no GEMS table found (fix-gems); 5 an image is in "
                          "no DAT (identify)."});
    addCommands();
}

CLI::App* CommandLine::command(const char* name, const std::string& description, HelpPage page,
                               std::function<int()> work)
{
    CLI::App* command = app_.add_subcommand(name, description);
    help_->addPage(name, std::move(page));
    work_.emplace_back(command, std::move(work));
    return command;
}

CLI::App* CommandLine::collectionCommand(const char* name, const std::string& description, HelpPage page,
                                         std::function<int()> work, bool json)
{
    page.notes = kCollectionNote + (json ? std::string("\n\n") + kJsonNote : "") + "\n\n" + page.notes;
    CLI::App* command = this->command(name, description, std::move(page), std::move(work));
    CollectionOptions& collection = options_.collection;
    command->add_option("PATH", collection.paths)->required()->check(kNamed);
    command->add_flag("-r,--recursive", collection.recursive, "Also take the images in subfolders");
    if (json)
        command->add_flag("--json", collection.json, "Print one JSON object per file and line");
    return command;
}

void CommandLine::addDats(CLI::App* command, const std::string& description)
{
    command
        ->add_option("--dat", options_.collection.dats,
                     description + ". May be given again; without it, the files that VARNOQUIL_DAT lists, apart by "
                         + (platform::pathListSeparator() == ':' ? "colons" : "semicolons"))
        ->type_name("FILE")
        ->check(kNamed)
        ->allow_extra_args(false);
}

void CommandLine::addInAndOut(CLI::App* command, const std::string& in, const std::string& out)
{
    command->add_option(in, options_.in)->required()->check(kNamed);
    command->add_option(out, options_.out)->required()->check(kNamed);
}

void CommandLine::addScales(CLI::App* command, const std::string& fm, const std::string& psg)
{
    command->add_option("--fm", options_.fm, fm)->type_name("SCALE");
    command->add_option("--psg", options_.psg, psg)->type_name("SCALE");
}

void CommandLine::addCommands()
{
    Options& o = options_;
    CLI::App* info = collectionCommand(
        "info",
        "Write the cartridge header information of ROM images as the window shows it: CR LF line "
        "breaks, the header's text fields as raw bytes (on a terminal, control bytes show as \"?\"). "
        "With many files, each text follows a line \"PATH:\".",
        {"[-r] [--json | --long] [--] PATH...", "Show the cartridge header of ROM images",
         std::string(kExitNote) + "."},
        [&o] { return RunInfo(o.collection); });

    info->add_flag("--long", o.collection.longView,
                   "Print the decoded header instead, as \"key: value\" lines: regions and hardware in words, "
                   "sizes in KiB and MiB")
        ->excludes(info->get_option("--json"));

    CLI::App* checksum = collectionCommand(
        "checksum",
        "Print the checksum stored at 0x18E of each ROM image's header and the one computed over the image, the "
        "sum of its big-endian 16-bit words from 0x200 to the end (a last odd byte counts as a high byte): "
        "\"stored XXXX computed YYYY\". With many files, each line begins with \"PATH: \" and ends with \" fixed\" "
        "when --fix wrote the checksum.",
        {"[--fix [--force]] [--dat FILE]... [-r] [--json] [--] PATH...",
         "Check the header checksum of ROM images, or repair it",
         std::string(kDatNote) + "\n\n" + kExitNote + ", 3 a checksum differs and was not repaired."},
        [&o] { return RunChecksum(o.collection, o.repair); });
    CLI::Option* fix
        = checksum->add_flag("--fix", o.repair.fix,
                             "Write the computed checksum into the header (two bytes, in place) when it differs; the "
                             "line shows the values read before. A file that is not a plain cartridge image (a copier "
                             "dump, a disc image, a headerless image, no \"SEGA\" at 0x100) is refused");
    checksum
        ->add_flag("--force", o.repair.force,
                   "With --fix, repair any file but a reordered dump (SMD, MGD, byte-swapped), whose "
                   "checksum lies in the plain image it holds, and an image a DAT lists")
        ->needs(fix);
    addDats(checksum,
            "With --fix, refuse to change an image that this DAT file lists (its stored checksum is "
            "the one the release carries); with --json, add the entry it matches as \"dat\"");

    collectionCommand("scan",
                      "Print every offset where the GEMS FM and PSG pitch tables for scale 1 lie in ROM images, one "
                      "line each: \"fm 0x0001F3A2\", \"psg 0x0001F3C0\". Nothing is written.",
                      {"[-r] [--json] [--] PATH...", "Show where the GEMS pitch tables lie in ROM images",
                       std::string(kExitNote) + "."},
                      [&o] { return RunScan(o.collection); });

    CLI::App* hash = collectionCommand(
        "hash",
        "Print the hashes of files as they are stored, one line per file: the hashes asked for (SHA-1 when none "
        "is) in the order of the options below, apart by blanks, then two blanks and the file's name. A line of one "
        "MD5, SHA-1 or SHA-256 hash is the line md5sum, sha1sum or sha256sum prints, and their -c checks a list of "
        "them.",
        {"[--crc32] [--md5] [--sha1] [--sha256] [-r] [--] PATH...", "Print the hashes of files",
         std::string(kExitNote) + "."},
        [&o] { return RunHash(o.collection, o.hashes); }, false);
    hash->add_flag("--crc32", o.hashes.crc32, "The CRC32 of zip files and DATs");
    hash->add_flag("--md5", o.hashes.md5, "MD5");
    hash->add_flag("--sha1", o.hashes.sha1, "SHA-1");
    hash->add_flag("--sha256", o.hashes.sha256, "SHA-256");

    CLI::App* identify = collectionCommand(
        "identify",
        "Look ROM images up in DAT files by their SHA-1 (or by CRC32 and size, for an entry without a SHA-1) and "
        "print a line per file: \"PATH: NAME\", the name of the game whose entry matched, with \" (as plain "
        "image)\" when only the plain image that a dump (SMD, MGD, byte-swapped) holds matched; else \"PATH: no "
        "match\". With many files, a last line counts the matched, unmatched and failed ones.",
        {"[--dat FILE]... [-r] [--json] [--] PATH...", "Find ROM images in DAT files",
         std::string(kDatNote)
             + " Without --dat and VARNOQUIL_DAT there is nothing to look in: exit status 2.\n\nExit status: 0 "
               "every image matched, 1 a file could not be read, 2 a bad command line or DAT file, 5 an image "
               "matched no entry."},
        [&o] { return RunIdentify(o.collection); });
    addDats(identify, "A DAT file to look images up in");

    CLI::App* fixGems = command(
        "fix-gems",
        "Retune the GEMS sound driver: replace the FM and PSG pitch tables found in IN by tables for the scales and "
        "write the result to OUT, never to IN itself, with its header checksum repaired. Prints a status line for "
        "each step.",
        {"[--preset NAME] [--fm SCALE] [--psg SCALE] [--no-checksum] [--json] [--] IN OUT",
         "Retune the GEMS sound driver of an image into a new file",
         std::string(kScaleNote) + " " + kOutputNote + "\n\n" + kExitNote
             + ", 4 neither table was found (OUT is written all the same)."},
        [&o] {
            o.gems.in = o.in, o.gems.out = o.out, o.gems.fm = o.fm, o.gems.psg = o.psg;
            return RunFixGems(o.gems);
        });
    fixGems
        ->add_option("--preset", o.gems.preset,
                     "Both scales at once: \"Sega Tavrik\" (FM 1.25, PSG 1.5; the default), \"Very Hi\" (2, 2), "
                     "\"Little Hi\" (1.5, 1.5), \"Default\" (1, 1), \"Little Low\" (0.5, 0.5), \"Very Low\" "
                     "(0.001, 0.001)")
        ->type_name("NAME");
    addScales(fixGems, "The FM scale, instead of the preset's", "The PSG scale, instead of the preset's");
    fixGems->add_flag("--no-checksum", o.gems.noChecksum,
                      "Leave OUT's header checksum as IN has it; IN then need not be a plain cartridge image");
    fixGems->add_flag("--json", o.gems.json, "Print the result as one JSON object instead of the status lines");
    addInAndOut(fixGems, "IN", "OUT");

    CLI::App* convert = command(
        "convert",
        "Write the plain cartridge image that a dump holds to OUT: an interleaved copier dump (\"SMD\": a 512-byte "
        "copier header, then 16 KiB blocks of odd and even bytes), an MGD dump (the odd bytes, then the even "
        "ones) or a byte-swapped image. Anything else is refused and nothing is written. The old name "
        "deinterleave does the same.",
        {"[--] IN OUT", "Write the plain image that a copier dump, an MGD dump or a byte-swapped image holds",
         std::string(kOutputNote) + "\n\n" + kExitNote + "."},
        [&o] { return RunConvert(o.in, o.out); });
    convert->alias("deinterleave");
    addInAndOut(convert, "IN", "OUT");

    CLI::App* tables = command("tables",
                               "Print the FM table (13 entries) and the PSG table (64 entries) of the GEMS sound "
                               "driver computed for the scales (1 when not given), as hexadecimal words.",
                               {"[--fm SCALE] [--psg SCALE]", "Print the GEMS pitch tables for a scale",
                                std::string(kScaleNote) + "\n\nExit status: 0 done, 2 a bad command line."},
                               [&o] { return RunTables(o.fm, o.psg); });
    addScales(tables, "The FM scale", "The PSG scale");

    CLI::App* engines = command(
        "engines",
        "Print the rows of the sound engine list (the window's \"SE List\") whose game or engine contains "
        "TEXT, ignoring case, in the list's order, as game, TAB, engine; every row without TEXT.",
        {"[TEXT]", "Search the list of games and their sound engines", "Exit status: 0 done, 2 a bad command line."},
        [&o] { return RunEngines(o.text); });
    engines->add_option("TEXT", o.text);
}

// The first word the parse did not take, but the "--" that ends options.
std::optional<std::string> firstExtra(const CLI::App* app)
{
    for (const std::string& word : app->remaining())
        if (word != "--")
            return word;
    return std::nullopt;
}

bool isOption(const std::string& word)
{
    return word.size() > 1 && word[0] == '-';
}

// Words the parse did not take: an unknown command or option, or one
// argument too many.
void CommandLine::refuseExtras() const
{
    for (const CLI::App* command : app_.get_subcommands())
        if (const auto word = firstExtra(command))
            throw UsageError((isOption(*word) ? "unknown option '" : "unexpected argument '") + *word + "'");
    if (const auto word = firstExtra(&app_))
        throw UsageError((isOption(*word) ? "unknown option '" : "unknown command '") + *word + "'");
    if (app_.get_subcommands().empty())
        throw UsageError("missing command");
}

int CommandLine::run(int argc, char** argv)
{
    try {
        app_.parse(argc, argv);
    } catch (const CLI::Success& done) {
        std::ostringstream out, err;
        app_.exit(done, out, err);
        WriteOut(out.str());
        return kExitOk;
    } catch (const CLI::ArgumentMismatch& error) {
        // "--fm: 1 required SCALE missing"
        const std::string message = error.what();
        throw UsageError("option '" + message.substr(0, message.find(':')) + "' needs a value");
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    refuseExtras();
    for (const auto& [command, work] : work_)
        if (command->parsed())
            return work();
    return kExitOk;
}

} // namespace

int RunCommandLine(int argc, char** argv)
{
    return CommandLine().run(argc, argv);
}

} // namespace varnoquil::cli
