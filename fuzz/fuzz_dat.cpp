// SPDX-License-Identifier: MIT
// The DAT reader on any file content, read from a file in memory through the
// real file layer: a DAT either loads, and then every entry with a key is
// found by it (the first entry of the key), or raises DatError naming a line
// of the file.

#include "errors.h"
#include "fuzz_check.h"
#include "identify/dat_index.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace varnoquil;

namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t n)
{
    std::string hex;
    char digits[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        hex += digits;
    }
    return hex;
}

void CheckError(const std::string& message, const std::uint8_t* data, std::size_t size)
{
    unsigned long line = 0;
    Check(std::sscanf(message.c_str(), "line %lu: ", &line) == 1, "an error names its line");
    const auto lines = static_cast<unsigned long>(std::count(data, data + size, '\n')) + 1;
    Check(line >= 1 && line <= lines, "the line is one of the file's");
}

// Each entry with a key is found by it: the same key, from an entry at or
// before it (the first of the key wins).
void CheckLookUps(const DatIndex& index, const DatEntry* entries, std::size_t n)
{
    for (const DatEntry* entry = entries; entry != entries + n; ++entry) {
        Check(!entry->game.empty() || entry->rom.empty(), "a game without a name goes by its rom's");
        if (entry->sha1) {
            const auto match = index.find({"", "", Hex(entry->sha1->data(), entry->sha1->size()), ""}, 0);
            Check(match && match->entry->sha1 == entry->sha1 && match->entry <= entry, "found by its SHA-1");
        } else if (entry->crc32 && entry->size) {
            const std::uint8_t crc[4] = {std::uint8_t(*entry->crc32 >> 24), std::uint8_t(*entry->crc32 >> 16),
                                         std::uint8_t(*entry->crc32 >> 8), std::uint8_t(*entry->crc32)};
            const auto match = index.find({Hex(crc, 4), "", "", ""}, *entry->size);
            Check(match && !match->entry->sha1 && match->entry->crc32 == entry->crc32
                      && match->entry->size == entry->size && match->entry <= entry,
                  "found by its CRC32 and size");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FillMemoryFile(data, size);
    try {
        DatFile dat = DatFile::load(MemoryFile());
        const DatEntry* entries = dat.entries().data();
        const std::size_t n = dat.entries().size();
        Check(!dat.name().empty(), "a DAT has a name");
        DatIndex index;
        index.add(std::move(dat));
        CheckLookUps(index, entries, n);
    } catch (const DatError& error) {
        CheckError(error.what(), data, size);
    }
    return 0;
}
