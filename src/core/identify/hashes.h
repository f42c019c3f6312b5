// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The hashes that identify a file: CRC32 (the zip and DAT one), MD5, SHA-1
// and SHA-256, computed over bytes handed on piece by piece, so that a file
// is hashed while the pass that reads it goes on, with no second read.
namespace varnoquil {

// Which hashes to compute.
struct HashKinds {
    bool crc32 = false, md5 = false, sha1 = false, sha256 = false;
    bool any() const { return crc32 || md5 || sha1 || sha256; }
};
// What a DAT is matched by, and what reports show.
constexpr HashKinds kDatHashes{true, false, true, false};
constexpr HashKinds kReportHashes{true, true, true, false};

// Hashes as lower-case hexadecimal; a hash not asked for is empty.
struct FileHashes {
    std::string crc32, md5, sha1, sha256;
};

// Hashes the bytes added, in the order they are added.
class Hasher {
public:
    explicit Hasher(const HashKinds& kinds);
    Hasher(Hasher&&) noexcept;
    Hasher& operator=(Hasher&&) noexcept;
    ~Hasher();

    void add(const std::uint8_t* data, std::size_t n);
    // The hashes of everything added; the hasher is spent.
    FileHashes finish();

private:
    struct Digest;
    bool crc32_ = false;
    std::uint32_t crc_ = 0;
    std::vector<std::unique_ptr<Digest>> digests_;
};

// The hashes of a whole file as it is stored, read once in pieces.
FileHashes HashFile(const std::string& path, const HashKinds& kinds);

} // namespace varnoquil
