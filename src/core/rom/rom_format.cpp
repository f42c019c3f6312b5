// SPDX-License-Identifier: MIT
#include "rom/rom_format.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace varnoquil {

namespace {

constexpr std::size_t kCopierHeader = kCopierHeaderSize;
constexpr std::size_t kBlock = kInterleavedBlockSize;
constexpr std::size_t kHalfBlock = kBlock / 2;

bool holdsAt(const std::uint8_t* start, std::size_t n, std::size_t at, const char* text)
{
    const std::size_t length = std::strlen(text);
    return at + length <= n && std::memcmp(start + at, text, length) == 0;
}

// Real cartridges carry "SEGA" at 0x100, a few " SEGA": the console's
// start-up check accepts both.
bool hasCartridgeMark(const std::uint8_t* image, std::size_t n)
{
    return holdsAt(image, n, 0x100, "SEGA") || holdsAt(image, n, 0x100, " SEGA");
}

void weaveBlock(const std::uint8_t* block, std::uint8_t* out)
{
    for (std::size_t i = 0; i < kHalfBlock; ++i) {
        out[2 * i + 1] = block[i];
        out[2 * i] = block[kHalfBlock + i];
    }
}

bool hasInterleavedSize(std::uint64_t size)
{
    return size > kCopierHeader && (size - kCopierHeader) % kBlock == 0;
}

} // namespace

const char* FormatName(RomFormat format)
{
    switch (format) {
    case RomFormat::Bin: return "bin";
    case RomFormat::Smd: return "smd";
    case RomFormat::MegaCd: return "mega-cd";
    case RomFormat::Unknown: return "unknown";
    }
    return "unknown";
}

RomFormat DetectFormat(const std::uint8_t* start, std::size_t n, std::uint64_t fileSize)
{
    if (holdsAt(start, n, 0, "SEGADISCSYSTEM") || holdsAt(start, n, 0x10, "SEGADISCSYSTEM"))
        return RomFormat::MegaCd;
    if (hasCartridgeMark(start, n))
        return RomFormat::Bin;
    if (hasInterleavedSize(fileSize) && n >= kCopierHeader + kBlock) {
        std::uint8_t plain[kBlock];
        weaveBlock(start + kCopierHeader, plain);
        if (hasCartridgeMark(plain, kBlock))
            return RomFormat::Smd;
    }
    return RomFormat::Unknown;
}

RomFormat DetectFormat(platform::BinaryFile& file)
{
    const std::uint64_t size = file.size();
    a_byte probe(static_cast<std::size_t>(std::min<std::uint64_t>(size, kFormatProbeSize)));
    file.seek(0);
    file.readBlock(probe.data(), probe.size());
    file.seek(0);
    return DetectFormat(probe.data(), probe.size(), size);
}

void WeaveBlocks(const std::uint8_t* blocks, std::size_t n, std::uint8_t* plain)
{
    for (std::size_t at = 0; at + kBlock <= n; at += kBlock)
        weaveBlock(blocks + at, plain + at);
}

a_byte Deinterleave(const a_byte& dump)
{
    if (!hasInterleavedSize(dump.size()))
        throw ImageFormatError("Not an interleaved copier dump");
    a_byte plain(dump.size() - kCopierHeader);
    WeaveBlocks(dump.data() + kCopierHeader, plain.size(), plain.data());
    return plain;
}

void DeinterleaveFile(const std::string& inFile, const std::string& outFile)
{
    RequireOutputIsNotInput(inFile, outFile);
    const a_byte dump = LoadImage(inFile);
    if (DetectFormat(dump.data(), dump.size(), dump.size()) != RomFormat::Smd)
        RaiseFor(ImageFormatError("Not an interleaved copier dump"), inFile);
    const a_byte plain = Deinterleave(dump);
    platform::PendingFile out = platform::PendingFile::create(outFile);
    out.writeAt(0, plain.data(), plain.size());
    out.commit();
}

void RequireCartridgeFormat(RomFormat format)
{
    if (format != RomFormat::Bin)
        throw ImageFormatError("Not a cartridge ROM image");
}

} // namespace varnoquil
