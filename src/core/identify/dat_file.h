// SPDX-License-Identifier: MIT
#pragma once

#include "rom/rom.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Logiqx XML DAT file, the catalogue format of No-Intro and Redump: a
// <datafile> of <game> (or <machine>) elements, each with the <rom> files it
// is made of and their sizes and hashes.
namespace varnoquil {

using Sha1 = std::array<std::uint8_t, 20>;

// One <rom> of a DAT, with the game it belongs to. The texts lie in the DAT
// file's text, which its DatFile holds.
struct DatEntry {
    std::string_view game; // the game's name (its description when it has none)
    std::string_view rom; // the rom's name
    std::string_view status; // "verified", "baddump", ...; empty when not given
    std::optional<std::uint64_t> size;
    std::optional<std::uint32_t> crc32;
    std::optional<Sha1> sha1;
};

class DatFile {
public:
    // A DAT may be this large; a larger file is refused before it is read,
    // as the whole document is held in memory while it is read.
    static constexpr std::uint64_t kMaxSize = std::uint64_t(128) << 20;

    // Reads a DAT file. Anything that keeps it from being used raises
    // DatError about the path: a file that cannot be read or is not a regular
    // file, one over kMaxSize, XML that is not well-formed, a root element
    // other than <datafile>, or a size or hash that is not a number of its
    // kind; the text names the line where it is in the file. A rom without a
    // size, a CRC32 or a SHA-1 is kept with what it has; hexadecimal digits
    // may be in either case.
    static DatFile load(const std::string& path);

    // The entries' texts lie in the file's text: a DatFile is moved, never
    // copied.
    DatFile(DatFile&&) noexcept = default;
    DatFile& operator=(DatFile&&) noexcept = default;
    DatFile(const DatFile&) = delete;
    DatFile& operator=(const DatFile&) = delete;
    ~DatFile() = default;

    const std::string& path() const { return path_; }
    // The name its header gives, else the file's name.
    const std::string& name() const { return name_; }
    // Every rom, in the file's order (in huge pages, as the text is: a large
    // DAT's entries take megabytes, whose first touches cost page faults).
    using Entries = std::vector<DatEntry, ImageAllocator<DatEntry>>;
    const Entries& entries() const { return entries_; }

private:
    DatFile() = default;

    std::string path_, name_;
    a_byte text_; // the file, as the XML parser left it: the entries' texts
    Entries entries_;
};

// A CRC32 as DATs and the hashes write it: up to 8 hexadecimal digits, of
// either case; none for any other text.
std::optional<std::uint32_t> ParseCrc32(std::string_view text);
// A SHA-1 as 40 hexadecimal digits, of either case; none for any other text.
std::optional<Sha1> ParseSha1(std::string_view text);

} // namespace varnoquil
