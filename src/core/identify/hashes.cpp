// SPDX-License-Identifier: MIT
#include "identify/hashes.h"

#include "errors.h"
#include "platform/platform.h"
#include "rom/rom.h"
#include "text.h"

#include <libdeflate.h>
#include <openssl/evp.h>

#include <array>
#include <string>
#include <type_traits>

namespace varnoquil {

namespace {

[[noreturn]] void raiseDigestFailure(const char* name)
{
    throw FileError(std::string("The cryptography library cannot compute ") + name);
}

// libcrypto's digest functions, from the library loaded when the first
// hasher that needs one is made: linked in, the library's loading and
// relocation would cost every start of a program, hashing or not, a few
// milliseconds.
struct Evp {
    decltype(&EVP_MD_CTX_new) newContext;
    decltype(&EVP_MD_CTX_free) freeContext;
    decltype(&EVP_DigestInit_ex) init;
    decltype(&EVP_DigestUpdate) update;
    decltype(&EVP_DigestFinal_ex) final;
    decltype(&EVP_md5) md5;
    decltype(&EVP_sha1) sha1;
    decltype(&EVP_sha256) sha256;
};

template <typename Pointer>
void load(const platform::SharedLibrary& library, Pointer& function, const char* name)
{
    function = library.function<std::remove_pointer_t<Pointer>>(name);
}

const Evp& evp()
{
    static const Evp functions = [] {
        const platform::SharedLibrary crypto("libcrypto.so." + std::to_string(OPENSSL_SHLIB_VERSION));
        Evp loaded{};
        load(crypto, loaded.newContext, "EVP_MD_CTX_new");
        load(crypto, loaded.freeContext, "EVP_MD_CTX_free");
        load(crypto, loaded.init, "EVP_DigestInit_ex");
        load(crypto, loaded.update, "EVP_DigestUpdate");
        load(crypto, loaded.final, "EVP_DigestFinal_ex");
        load(crypto, loaded.md5, "EVP_md5");
        load(crypto, loaded.sha1, "EVP_sha1");
        load(crypto, loaded.sha256, "EVP_sha256");
        return loaded;
    }();
    return functions;
}

} // namespace

// One message digest of OpenSSL's, and where its result goes.
struct Hasher::Digest {
    Digest(const EVP_MD* md, const char* digestName, std::string FileHashes::*target)
        : context(evp().newContext()), name(digestName), into(target)
    {
        if (!context || evp().init(context, md, nullptr) != 1)
            raiseDigestFailure(name);
    }
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;
    ~Digest() { evp().freeContext(context); }

    EVP_MD_CTX* context;
    const char* name;
    std::string FileHashes::*into;
};

Hasher::Hasher(const HashKinds& kinds) : crc32_(kinds.crc32)
{
    if (kinds.md5)
        digests_.push_back(std::make_unique<Digest>(evp().md5(), "MD5", &FileHashes::md5));
    if (kinds.sha1)
        digests_.push_back(std::make_unique<Digest>(evp().sha1(), "SHA-1", &FileHashes::sha1));
    if (kinds.sha256)
        digests_.push_back(std::make_unique<Digest>(evp().sha256(), "SHA-256", &FileHashes::sha256));
}

Hasher::Hasher(Hasher&&) noexcept = default;
Hasher& Hasher::operator=(Hasher&&) noexcept = default;
Hasher::~Hasher() = default;

void Hasher::add(const std::uint8_t* data, std::size_t n)
{
    if (crc32_)
        crc_ = libdeflate_crc32(crc_, data, n);
    for (const auto& digest : digests_)
        if (evp().update(digest->context, data, n) != 1)
            raiseDigestFailure(digest->name);
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
    for (const auto& digest : digests_) {
        std::array<unsigned char, EVP_MAX_MD_SIZE> value{};
        unsigned int size = 0;
        if (evp().final(digest->context, value.data(), &size) != 1)
            raiseDigestFailure(digest->name);
        hashes.*digest->into = HexText(value.data(), size);
    }
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
