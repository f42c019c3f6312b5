// SPDX-License-Identifier: MIT
#include "identify/dat_index.h"

#include "errors.h"

#include <algorithm>
#include <utility>

namespace varnoquil {

namespace {

template <typename Key>
std::optional<DatMatch> lookUp(const DatIndex::Index<Key>& index, const Key& key)
{
    const auto at
        = std::lower_bound(index.begin(), index.end(), key,
                           [](const DatIndex::Keyed<Key>& entry, const Key& wanted) { return entry.key < wanted; });
    if (at == index.end() || at->key != key)
        return std::nullopt;
    return at->match;
}

} // namespace

DatIndex DatIndex::load(const std::vector<std::string>& paths)
{
    DatIndex index;
    for (const std::string& path : paths)
        index.add(DatFile::load(path));
    return index;
}

void DatIndex::add(DatFile dat)
{
    const DatFile& added = dats_.emplace_back(std::move(dat));
    bySha1_.reserve(bySha1_.size() + added.entries().size());
    for (const DatEntry& entry : added.entries()) {
        const DatMatch match{&added, &entry, false};
        if (entry.sha1)
            bySha1_.push_back({*entry.sha1, added_++, match});
        else if (entry.crc32 && entry.size)
            byCrc32AndSize_.push_back({{*entry.crc32, *entry.size}, added_++, match});
    }
    std::sort(bySha1_.begin(), bySha1_.end());
    std::sort(byCrc32AndSize_.begin(), byCrc32AndSize_.end());
}

std::optional<DatMatch> DatIndex::find(const FileHashes& hashes, std::uint64_t size) const
{
    if (const auto sha1 = ParseSha1(hashes.sha1))
        if (auto match = lookUp(bySha1_, *sha1))
            return match;
    const auto crc32 = ParseCrc32(hashes.crc32);
    return crc32 ? lookUp(byCrc32AndSize_, Crc32AndSize{*crc32, size}) : std::nullopt;
}

std::optional<DatMatch> DatIndex::identify(const ImageHashes& image) const
{
    if (image.hashes)
        if (auto match = find(*image.hashes, image.fileSize))
            return match;
    if (image.plainHashes)
        if (auto match = find(*image.plainHashes, image.imageSize)) {
            match->plainImage = true;
            return match;
        }
    return std::nullopt;
}

void RequireUnlisted(const DatIndex& dats, const FileHashes& hashes, std::uint64_t size)
{
    if (const auto match = dats.find(hashes, size))
        throw FileError("Matches " + std::string(match->entry->game) + " in " + match->dat->name()
                        + ": a verified dump is not changed");
}

} // namespace varnoquil
