// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// Memory for the XML parser while it reads one DAT. A DAT's document takes
// tens of megabytes in small nodes; taken from the heap, each new 4 KiB page
// costs a page fault, which made those faults most of a DAT's load time. An
// arena hands out its nodes from blocks of huge pages instead, and gives all
// of it back at once.
namespace varnoquil {

class XmlArena {
public:
    // The parser takes its memory from this arena on this thread while it
    // lives, and from the heap otherwise, in blocks of blockSize bytes. A
    // document read in an arena must be gone before the arena is.
    explicit XmlArena(std::size_t blockSize);
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;
    ~XmlArena();

private:
    static void* allocate(std::size_t n);
    static void deallocate(void* memory);
    void* take(std::size_t n);
    bool holds(const void* memory) const;

    struct Block;
    std::size_t blockSize_;
    std::vector<Block> blocks_;
    std::size_t used_ = 0; // of the last block
};

} // namespace varnoquil
