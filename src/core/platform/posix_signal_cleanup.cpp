// SPDX-License-Identifier: MIT
#include "platform/posix_signal_cleanup.h"

#include <climits>
#include <cstring>
#include <iterator>
#include <pthread.h>
#include <unistd.h>

namespace varnoquil::platform::posix {

namespace {

// The signals whose default action ends the process and that a pending file
// is removed on. SIGXFSZ comes when a write passes the file size limit.
constexpr int kCleanupSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM, SIGXFSZ};

// Temporary names the signal handler removes. The handler may only make
// async-signal-safe calls, so the names sit in fixed buffers, and a slot is
// only filled or emptied while the signals are blocked.
struct PendingSlot {
    volatile sig_atomic_t used;
    char path[PATH_MAX];
};
PendingSlot pendingSlots[16];

extern "C" void removePendingFilesAndEnd(int signal)
{
    for (const PendingSlot& slot : pendingSlots)
        if (slot.used)
            ::unlink(slot.path);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    // Delivered with the default action as soon as the handler returns.
    ::raise(signal);
}

} // namespace

void catchEndingSignals()
{
    for (const int signal : kCleanupSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO)
            || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler {};
        handler.sa_handler = removePendingFilesAndEnd;
        ::sigemptyset(&handler.sa_mask);
        for (const int other : kCleanupSignals)
            ::sigaddset(&handler.sa_mask, other);
        ::sigaction(signal, &handler, nullptr);
    }
}

SignalBlock::SignalBlock()
{
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : kCleanupSignals)
        ::sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

SignalBlock::~SignalBlock()
{
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

int claimSlot(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < static_cast<int>(std::size(pendingSlots)); ++i) {
        PendingSlot& slot = pendingSlots[i];
        if (!slot.used) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used = 1;
            return i;
        }
    }
    return -1;
}

void releaseSlot(int slot)
{
    if (slot >= 0)
        pendingSlots[slot].used = 0;
}

} // namespace varnoquil::platform::posix
