// SPDX-License-Identifier: MIT
#pragma once

#include <csignal>
#include <string>

// Temporary files that are removed when the process is ended by a signal.
namespace varnoquil::platform::posix {

// Takes over the ending signals (SIGHUP, SIGINT, SIGPIPE, SIGTERM, SIGXFSZ)
// that still have their default action, so that they remove the registered
// files before the process ends; ignored signals and other handlers are left
// as they are.
void catchEndingSignals();

// Registers a temporary file for removal; returns its slot, or -1 when the
// name does not fit or every slot is taken (the file is then only removed
// by its owner). Call it while the signals are blocked.
int claimSlot(const std::string& path);
// Forgets a registered file; a slot of -1 is ignored. Call it while the
// signals are blocked.
void releaseSlot(int slot);

// Blocks the ending signals for its lifetime.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t previous_;
};

} // namespace varnoquil::platform::posix
