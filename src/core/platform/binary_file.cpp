// SPDX-License-Identifier: MIT
// The parts of the file layer that are the same on every system, built on
// the calls each system's implementation gives.
#include "platform/platform.h"

#include "errors.h"

namespace varnoquil::platform {

void BinaryFile::readBlock(void* buffer, std::size_t n)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t got = readSome(bytes + done, n - done);
        if (got == 0)
            RaiseFor(IoError(IoCode::ReadBeyondEnd), path_);
        done += got;
    }
}

bool sameFile(const std::string& path, const std::string& other)
{
    const std::optional<FileIdentity> identity = identityOf(path);
    return identity && identity == identityOf(other);
}

} // namespace varnoquil::platform
