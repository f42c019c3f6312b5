// SPDX-License-Identifier: MIT
// Memory for whole ROM images.
#include "platform/platform.h"

#include "errors.h"

#include <cerrno>
#include <cstdint>
#include <new>
#include <sys/mman.h>

#ifdef __linux__
#include <sys/sysinfo.h>
#endif

namespace varnoquil::platform {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

bool usesMapping(std::size_t bytes)
{
    return bytes >= kHugePage;
}

std::size_t roundUpToHugePage(std::size_t bytes)
{
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// More than the machine's memory and swap together can never be filled; a
// system that overcommits would map it and then end some process when the
// pages are touched.
bool exceedsSystemMemory(std::size_t bytes)
{
#ifdef __linux__
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return false;
    const double total = (static_cast<double>(info.totalram) + static_cast<double>(info.totalswap)) * info.mem_unit;
    return static_cast<double>(bytes) > total;
#else
    (void)bytes;
    return false;
#endif
}

} // namespace

void* allocateImageMemory(std::size_t bytes)
{
    if (!usesMapping(bytes)) {
        try {
            return ::operator new(bytes);
        } catch (const std::bad_alloc&) {
            throw NotEnoughMemoryError();
        }
    }
    if (exceedsSystemMemory(bytes))
        throw NotEnoughMemoryError();
    // Map one huge page more than needed, then trim both ends so that the
    // block starts on a huge-page boundary.
    const std::size_t size = roundUpToHugePage(bytes);
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw NotEnoughMemoryError();
    // The block is found by an offset into the mapping, so that it stays a
    // pointer derived from the mapping rather than one made from a number.
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::size_t lead = (kHugePage - start % kHugePage) % kHugePage;
    if (lead > 0)
        ::munmap(mapped, lead);
    if (const std::size_t tail = kHugePage - lead)
        ::munmap(static_cast<char*>(mapped) + lead + size, tail);
    void* block = static_cast<char*>(mapped) + lead;
    // Both are hints; where the kernel lacks them the block still works. But
    // memory the kernel cannot populate now would fail later at a random
    // write, so that is reported here.
    ::madvise(block, size, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    if (::madvise(block, size, MADV_POPULATE_WRITE) != 0 && errno == ENOMEM) {
        ::munmap(block, size);
        throw NotEnoughMemoryError();
    }
#endif
    return block;
}

void freeImageMemory(void* memory, std::size_t bytes)
{
    if (!usesMapping(bytes))
        ::operator delete(memory);
    else
        ::munmap(memory, roundUpToHugePage(bytes));
}

} // namespace varnoquil::platform
