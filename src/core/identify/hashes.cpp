// SPDX-License-Identifier: MIT
#include "identify/hashes.h"

#include "errors.h"
#include "identify/digest.h"
#include "platform/platform.h"
#include "rom/rom.h"
#include "text.h"

#include <libdeflate.h>

#include <array>
#include <string>

namespace varnoquil {

// One message digest, and where its result goes.
struct Hasher::Digest {
    Digest(DigestKind kind, std::string FileHashes::*target) : digest(kind), into(target) {}
    MessageDigest digest;
    std::string FileHashes::*into;
};

Hasher::Hasher(const HashKinds& kinds) : crc32_(kinds.crc32)
{
    if (kinds.md5)
        digests_.push_back(std::make_unique<Digest>(DigestKind::Md5, &FileHashes::md5));
    if (kinds.sha1)
        digests_.push_back(std::make_unique<Digest>(DigestKind::Sha1, &FileHashes::sha1));
    if (kinds.sha256)
        digests_.push_back(std::make_unique<Digest>(DigestKind::Sha256, &FileHashes::sha256));
}

Hasher::Hasher(Hasher&&) noexcept = default;
Hasher& Hasher::operator=(Hasher&&) noexcept = default;
Hasher::~Hasher() = default;

void Hasher::add(const std::uint8_t* data, std::size_t n)
{
    if (crc32_)
        crc_ = libdeflate_crc32(crc_, data, n);
    for (const auto& digest : digests_)
        digest->digest.add(data, n);
}

FileHashes Hasher::finish()
{
    FileHashes hashes;
    if (crc32_) {
        const std::array<unsigned char, 4> bytes{
            static_cast<unsigned char>(crc_ >> 24), static_cast<unsigned char>(crc_ >> 16),
            static_cast<unsigned char>(crc_ >> 8), static_cast<unsigned char>(crc_)};
        hashes.crc32 = HexText(bytes.data(), bytes.size());
    }
    for (const auto& digest : digests_)
        hashes.*digest->into = digest->digest.finish();
    digests_.clear();
    return hashes;
}

FileHashes HashFile(const std::string& path, const HashKinds& kinds)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(path);
    Hasher hasher(kinds);
    a_byte piece;
    ReadInPieces(file, 0, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t) { hasher.add(data, n); });
    file.close();
    return hasher.finish();
}

} // namespace varnoquil
