// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"

#include <cstddef>
#include <cstdint>
#include <string>

// One message digest computed by the system's cryptography library: OpenSSL's
// libcrypto on POSIX systems, CNG on Windows. A failure of the library
// raises FileError("The cryptography library cannot compute NAME").
namespace varnoquil {

enum class DigestKind { Md5, Sha1, Sha256 };

inline const char* DigestName(DigestKind kind)
{
    switch (kind) {
    case DigestKind::Md5: return "MD5";
    case DigestKind::Sha1: return "SHA-1";
    case DigestKind::Sha256: break;
    }
    return "SHA-256";
}

class MessageDigest {
public:
    explicit MessageDigest(DigestKind kind);
    MessageDigest(const MessageDigest&) = delete;
    MessageDigest& operator=(const MessageDigest&) = delete;
    ~MessageDigest();

    void add(const std::uint8_t* data, std::size_t n);
    // The digest of everything added, as lower-case hexadecimal.
    std::string finish();

private:
    [[noreturn]] void raiseFailure() const
    {
        throw FileError(std::string("The cryptography library cannot compute ") + name_);
    }
    const char* name_;
    void* context_;
};

} // namespace varnoquil
