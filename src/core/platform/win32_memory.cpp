// SPDX-License-Identifier: MIT
// Memory for whole ROM images on Windows: large blocks straight from the
// system, committed in one go, so that a block the system cannot back fails
// here and not at a random write.
#include "platform/platform.h"

#include "errors.h"

#include <new>

#include <windows.h>

namespace varnoquil::platform {

namespace {

constexpr std::size_t kLargeBlock = std::size_t(2) << 20;

// Whether a block comes from the system rather than the heap: allocating and
// freeing it must agree.
bool fromSystem(std::size_t bytes)
{
    return bytes >= kLargeBlock;
}

} // namespace

void* allocateImageMemory(std::size_t bytes)
{
    if (!fromSystem(bytes)) {
        try {
            return ::operator new(bytes);
        } catch (const std::bad_alloc&) {
            throw NotEnoughMemoryError();
        }
    }
    void* block = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block)
        throw NotEnoughMemoryError();
    return block;
}

void freeImageMemory(void* memory, std::size_t bytes)
{
    if (!fromSystem(bytes))
        ::operator delete(memory);
    else
        ::VirtualFree(memory, 0, MEM_RELEASE);
}

} // namespace varnoquil::platform
