// SPDX-License-Identifier: MIT
// Message digests from OpenSSL's libcrypto.
#include "identify/digest.h"

#include "platform/platform.h"
#include "text.h"

#include <openssl/evp.h>

#include <array>
#include <type_traits>

namespace varnoquil {

namespace {

// libcrypto's digest functions, from the library loaded when the first
// digest is made: linked in, the library's loading and relocation would cost
// every start of a program, hashing or not, a few milliseconds.
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

const EVP_MD* algorithmOf(DigestKind kind)
{
    switch (kind) {
    case DigestKind::Md5: return evp().md5();
    case DigestKind::Sha1: return evp().sha1();
    case DigestKind::Sha256: break;
    }
    return evp().sha256();
}

EVP_MD_CTX* contextOf(void* context)
{
    return static_cast<EVP_MD_CTX*>(context);
}

} // namespace

MessageDigest::MessageDigest(DigestKind kind) : name_(DigestName(kind)), context_(evp().newContext())
{
    if (!context_ || evp().init(contextOf(context_), algorithmOf(kind), nullptr) != 1) {
        evp().freeContext(contextOf(context_));
        raiseFailure();
    }
}

MessageDigest::~MessageDigest()
{
    evp().freeContext(contextOf(context_));
}

void MessageDigest::add(const std::uint8_t* data, std::size_t n)
{
    if (evp().update(contextOf(context_), data, n) != 1)
        raiseFailure();
}

std::string MessageDigest::finish()
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> value{};
    unsigned int size = 0;
    if (evp().final(contextOf(context_), value.data(), &size) != 1)
        raiseFailure();
    return HexText(value.data(), size);
}

} // namespace varnoquil
