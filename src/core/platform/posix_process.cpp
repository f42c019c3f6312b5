// SPDX-License-Identifier: MIT
// The process's standard descriptors.
#include "platform/platform.h"

#include "platform/posix_common.h"

#include <fcntl.h>
#include <unistd.h>

namespace varnoquil::platform {

void ensureStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is fd itself, as the ones below it are open.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            // Nothing sensible can be written anywhere: end before any file is touched.
            ::_exit(127);
        }
    }
}

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace varnoquil::platform
