// SPDX-License-Identifier: MIT
#include "identify/dat_file.h"

#include "errors.h"
#include "identify/xml_arena.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace varnoquil {

namespace {

a_byte readWhole(platform::BinaryFile& file)
{
    const std::uint64_t size = file.size();
    if (size > DatFile::kMaxSize)
        throw DatError("Too large for a DAT file: " + std::to_string(size >> 20) + " MiB, over the "
                       + std::to_string(DatFile::kMaxSize >> 20) + " MiB a DAT may have");
    a_byte text(static_cast<std::size_t>(size));
    file.readBlock(text.data(), text.size());
    return text;
}

// The line of the file that holds an offset. Only an error needs it, so the
// file is read again up to there rather than lines counted on every load.
std::size_t lineAt(platform::BinaryFile& file, std::ptrdiff_t offset)
{
    std::vector<char> piece(1 << 16);
    std::size_t line = 1;
    file.seek(0);
    for (auto left = static_cast<std::uint64_t>(std::max<std::ptrdiff_t>(offset, 0)); left > 0;) {
        const std::size_t n = file.readSome(piece.data(), std::min<std::uint64_t>(piece.size(), left));
        if (n == 0)
            break;
        line += static_cast<std::size_t>(std::count(piece.begin(), piece.begin() + std::ptrdiff_t(n), '\n'));
        left -= n;
    }
    return line;
}

bool isGame(const pugi::xml_node& node)
{
    return std::strcmp(node.name(), "game") == 0 || std::strcmp(node.name(), "machine") == 0;
}

std::size_t countRoms(const pugi::xml_node& root)
{
    std::size_t roms = 0;
    for (const pugi::xml_node& game : root.children())
        if (isGame(game))
            roms += static_cast<std::size_t>(std::distance(game.children("rom").begin(), game.children("rom").end()));
    return roms;
}

std::string_view gameName(const pugi::xml_node& game)
{
    const std::string_view name = game.attribute("name").value();
    return name.empty() ? game.child_value("description") : name;
}

// A whole text read as a number in a base; none when it is anything else.
template <typename Number>
std::optional<Number> numberOf(std::string_view text, int base)
{
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[noreturn]] void raiseAt(platform::BinaryFile& file, std::ptrdiff_t offset, const std::string& what)
{
    throw DatError("line " + std::to_string(lineAt(file, offset)) + ": " + what);
}

// The value of one of a rom's attributes, when given, as read; one that
// cannot be read is an error.
template <typename Value, typename Read>
std::optional<Value> valueOf(platform::BinaryFile& file, const pugi::xml_node& rom, const char* name, const char* what,
                             Read read)
{
    const std::string_view text = rom.attribute(name).value();
    if (text.empty())
        return std::nullopt;
    std::optional<Value> value = read(text);
    if (!value)
        raiseAt(file, rom.offset_debug(),
                std::string("Rom \"") + rom.attribute("name").value() + "\": " + name + " \"" + std::string(text)
                    + "\" is not " + what);
    return value;
}

// Reads n bytes written as 2n hexadecimal digits (either case) into bytes;
// false when the text is anything else.
bool ReadHex(std::string_view text, std::uint8_t* bytes, std::size_t n)
{
    if (text.size() != 2 * n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = numberOf<std::uint8_t>(text.substr(2 * i, 2), 16);
        if (!byte)
            return false;
        bytes[i] = *byte;
    }
    return true;
}

} // namespace

std::optional<std::uint32_t> ParseCrc32(std::string_view text)
{
    // Some DATs leave out a CRC32's leading zeros.
    return text.size() <= 8 ? numberOf<std::uint32_t>(text, 16) : std::nullopt;
}

std::optional<Sha1> ParseSha1(std::string_view text)
{
    Sha1 sha1{};
    return ReadHex(text, sha1.data(), sha1.size()) ? std::optional<Sha1>(sha1) : std::nullopt;
}

namespace {

DatEntry entryOf(platform::BinaryFile& file, const pugi::xml_node& rom, std::string_view game)
{
    DatEntry entry;
    entry.rom = rom.attribute("name").value();
    entry.game = game.empty() ? entry.rom : game;
    entry.status = rom.attribute("status").value();
    entry.size = valueOf<std::uint64_t>(file, rom, "size", "a number of bytes",
                                        [](std::string_view text) { return numberOf<std::uint64_t>(text, 10); });
    entry.crc32 = valueOf<std::uint32_t>(file, rom, "crc", "a CRC32 of up to 8 hexadecimal digits", ParseCrc32);
    entry.sha1 = valueOf<Sha1>(file, rom, "sha1", "a SHA-1 of 40 hexadecimal digits", ParseSha1);
    return entry;
}

// Reads a DAT's text, and its entries from it as the XML parser leaves it;
// returns the name the DAT's header gives.
std::string readDat(platform::BinaryFile& file, a_byte& text, DatFile::Entries& entries)
{
    text = readWhole(file);
    // The document takes one to two times the text; blocks of a quarter of
    // it waste at most that.
    const XmlArena arena(text.size() / 4);
    pugi::xml_document document;
    // Read as UTF-8, the catalogues' encoding, so that the parser never
    // converts the text into a buffer of its own: the entries' texts are
    // those it leaves in place.
    const pugi::xml_parse_result parsed
        = document.load_buffer_inplace(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (parsed.status == pugi::status_out_of_memory)
        throw NotEnoughMemoryError();
    if (!parsed)
        raiseAt(file, parsed.offset, std::string("Not well-formed XML (") + parsed.description() + ")");
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "datafile") != 0)
        raiseAt(file, root.offset_debug(),
                std::string("Not a Logiqx DAT file: its root element is <") + root.name() + ">, not <datafile>");
    entries.reserve(countRoms(root));
    for (const pugi::xml_node& game : root.children()) {
        if (!isGame(game))
            continue;
        const std::string_view name = gameName(game);
        for (const pugi::xml_node& rom : game.children("rom"))
            entries.push_back(entryOf(file, rom, name));
    }
    return root.child("header").child_value("name");
}

} // namespace

DatFile DatFile::load(const std::string& path)
{
    return ForFile(path, [&] {
        DatFile dat;
        dat.path_ = path;
        try {
            platform::BinaryFile file = platform::BinaryFile::openForReading(path);
            dat.name_ = readDat(file, dat.text_, dat.entries_);
        } catch (const NotEnoughMemoryError&) {
            throw;
        } catch (const FileError& error) {
            throw DatError(error.what());
        }
        if (dat.name_.empty())
            dat.name_ = platform::lastComponent(path);
        return dat;
    });
}

} // namespace varnoquil
