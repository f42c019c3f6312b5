// SPDX-License-Identifier: MIT
#include "identify/xml_arena.h"

#include "platform/platform.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>

namespace varnoquil {

namespace {

constexpr std::size_t kLeastBlockSize = std::size_t(64) << 10;
constexpr std::size_t kAlignment = alignof(std::max_align_t);

thread_local XmlArena* current = nullptr;

} // namespace

struct XmlArena::Block {
    std::uint8_t* memory;
    std::size_t size;
};

XmlArena::XmlArena(std::size_t blockSize) : blockSize_(std::max(blockSize, kLeastBlockSize))
{
    pugi::set_memory_management_functions(allocate, deallocate);
    current = this;
}

XmlArena::~XmlArena()
{
    current = nullptr;
    for (const Block& block : blocks_)
        platform::freeImageMemory(block.memory, block.size);
}

void* XmlArena::allocate(std::size_t n)
{
    return current ? current->take(n) : std::malloc(n);
}

void XmlArena::deallocate(void* memory)
{
    if (!current || !current->holds(memory))
        std::free(memory);
}

// Memory that cannot be had is a null pointer, which the parser reports as
// its own error.
void* XmlArena::take(std::size_t n)
{
    n = (n + kAlignment - 1) / kAlignment * kAlignment;
    if (blocks_.empty() || blocks_.back().size - used_ < n) {
        const std::size_t size = std::max(n, blockSize_);
        try {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back({static_cast<std::uint8_t*>(platform::allocateImageMemory(size)), size});
        } catch (const std::exception&) {
            return nullptr;
        }
        used_ = 0;
    }
    void* memory = blocks_.back().memory + used_;
    used_ += n;
    return memory;
}

bool XmlArena::holds(const void* memory) const
{
    const std::less_equal<const void*> notAfter;
    for (const Block& block : blocks_)
        if (notAfter(block.memory, memory) && !notAfter(block.memory + block.size, memory))
            return true;
    return false;
}

} // namespace varnoquil
