// SPDX-License-Identifier: MIT
// The parts of PendingFile that are the same on every system.
#include "platform/platform.h"

namespace varnoquil::platform {

PendingFile::PendingFile(std::string target, std::string tempName, BinaryFile temp, bool replacing, unsigned mode,
                         int slot)
    : target_(std::move(target)), tempName_(std::move(tempName)), temp_(std::move(temp)), replacing_(replacing),
      mode_(mode), slot_(slot)
{}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), tempName_(std::move(other.tempName_)), temp_(std::move(other.temp_)),
      replacing_(other.replacing_), mode_(other.mode_), slot_(other.slot_)
{
    other.tempName_.clear();
    other.slot_ = -1;
}

void PendingFile::writeAt(std::uint64_t offset, const void* data, std::size_t n)
{
    temp_.writeAt(offset, data, n);
}

} // namespace varnoquil::platform
