// SPDX-License-Identifier: MIT
#include "platform/posix_common.h"

#include <climits>
#include <cstdlib>

namespace varnoquil::platform::posix {

void requireRegularFile(const struct stat& st, Role role)
{
    if (S_ISDIR(st.st_mode))
        throw IoError(IoCode::AccessDenied);
    if (!S_ISREG(st.st_mode))
        throw NotRegularFileError(role);
}

void requireWritableFile(const struct stat& st)
{
    if (!writableByAnyone(st.st_mode))
        throw IoError(IoCode::AccessDenied);
}

std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

} // namespace varnoquil::platform::posix
