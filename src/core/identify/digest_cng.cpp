// SPDX-License-Identifier: MIT
// Message digests from Windows' own cryptography (CNG), which every Windows
// has: no library comes with the program for them.
#include "identify/digest.h"

#include "text.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <vector>

namespace varnoquil {

namespace {

bool succeeded(NTSTATUS status)
{
    return status >= 0;
}

// The provider of an algorithm, opened once and kept for the run.
BCRYPT_ALG_HANDLE providerOf(DigestKind kind)
{
    static BCRYPT_ALG_HANDLE providers[3] = {};
    const auto index = static_cast<std::size_t>(kind);
    if (!providers[index]) {
        const wchar_t* names[3] = {BCRYPT_MD5_ALGORITHM, BCRYPT_SHA1_ALGORITHM, BCRYPT_SHA256_ALGORITHM};
        if (!succeeded(::BCryptOpenAlgorithmProvider(&providers[index], names[index], nullptr, 0)))
            providers[index] = nullptr;
    }
    return providers[index];
}

BCRYPT_HASH_HANDLE hashOf(void* context)
{
    return static_cast<BCRYPT_HASH_HANDLE>(context);
}

} // namespace

MessageDigest::MessageDigest(DigestKind kind) : name_(DigestName(kind)), context_(nullptr)
{
    const BCRYPT_ALG_HANDLE provider = providerOf(kind);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!provider || !succeeded(::BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0)))
        raiseFailure();
    context_ = hash;
}

MessageDigest::~MessageDigest()
{
    ::BCryptDestroyHash(hashOf(context_));
}

void MessageDigest::add(const std::uint8_t* data, std::size_t n)
{
    // The call takes at most 4 GiB at a time.
    while (n > 0) {
        const auto piece = static_cast<ULONG>(std::min<std::size_t>(n, 1u << 30));
        if (!succeeded(::BCryptHashData(hashOf(context_), const_cast<PUCHAR>(data), piece, 0)))
            raiseFailure();
        data += piece;
        n -= piece;
    }
}

std::string MessageDigest::finish()
{
    DWORD size = 0;
    ULONG written = 0;
    if (!succeeded(::BCryptGetProperty(hashOf(context_), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&size),
                                       sizeof size, &written, 0)))
        raiseFailure();
    std::vector<unsigned char> value(size);
    if (!succeeded(::BCryptFinishHash(hashOf(context_), value.data(), size, 0)))
        raiseFailure();
    return HexText(value.data(), value.size());
}

} // namespace varnoquil
