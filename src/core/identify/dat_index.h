// SPDX-License-Identifier: MIT
#pragma once

#include "identify/dat_file.h"
#include "identify/hashes.h"
#include "rom/image_report.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The entries of DAT files, looked up by the hashes of an image.
namespace varnoquil {

struct DatMatch {
    const DatFile* dat = nullptr;
    const DatEntry* entry = nullptr;
    bool plainImage = false; // the plain image a dump holds matched, not the file
};

class DatIndex {
public:
    // Loads the DAT files in order (see DatFile::load for what fails).
    static DatIndex load(const std::vector<std::string>& paths);

    // An entry with a SHA-1 is found by it; one without, by its CRC32 and
    // size. When several entries have the same key, the first one added
    // (the earlier DAT, then the earlier line) is the one found.
    void add(DatFile dat);

    // The entry that hashes of crc32 and sha1 (kDatHashes) and a size match.
    std::optional<DatMatch> find(const FileHashes& hashes, std::uint64_t size) const;
    // The entry an image's file matches, else the one the plain image of a
    // dump matches, by the hashes of kDatHashes.
    std::optional<DatMatch> identify(const ImageHashes& image) const;

    // An entry under a key, and when it was added.
    template <typename Key>
    struct Keyed {
        Key key;
        std::size_t order;
        DatMatch match;
        bool operator<(const Keyed& other) const { return std::tie(key, order) < std::tie(other.key, other.order); }
    };
    template <typename Key>
    using Index = std::vector<Keyed<Key>, ImageAllocator<Keyed<Key>>>;
    using Crc32AndSize = std::pair<std::uint32_t, std::uint64_t>;

private:
    std::deque<DatFile> dats_;
    std::size_t added_ = 0;
    // Sorted by key, then by the order added.
    Index<Sha1> bySha1_;
    Index<Crc32AndSize> byCrc32AndSize_;
};

// Raises FileError ("Matches NAME in DAT: a verified dump is not changed")
// when the hashes and size of an image match an entry of the DATs: the
// checksum stored in a catalogued dump is the one the release carries, and
// emulators identify the game by it.
void RequireUnlisted(const DatIndex& dats, const FileHashes& hashes, std::uint64_t size);

} // namespace varnoquil
