// SPDX-License-Identifier: MIT
#include "rom/rom_format.h"

#include "platform/platform.h"
#include "rom/header_fields.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace varnoquil {

namespace {

constexpr std::size_t kBlock = kInterleavedBlockSize;
constexpr std::size_t kHalfBlock = kBlock / 2;
// Where an image keeps the mark that the console checks.
constexpr std::size_t kMarkAt = 0x100;
// The 68000 reads its stack pointer and the address it starts at from the
// first 8 bytes; every cartridge's program starts after its header, within
// the 4 MiB the console maps.
constexpr std::uint64_t kProgramStart = 0x200;
constexpr std::uint64_t kCartridgeSpace = 0x400000;
// Work RAM's 64 KiB repeat from here to the end of the address space.
constexpr std::uint32_t kWorkRamMirrors = 0xE00000;

bool holdsAt(const a_byte& bytes, std::size_t at, const char* text)
{
    const std::size_t length = std::strlen(text);
    return at + length <= bytes.size() && std::memcmp(bytes.data() + at, text, length) == 0;
}

// Real cartridges carry "SEGA" at 0x100, a few " SEGA": the console's
// start-up check accepts both.
bool hasCartridgeMark(const a_byte& image)
{
    return holdsAt(image, kMarkAt, "SEGA") || holdsAt(image, kMarkAt, " SEGA");
}

// Weaves bytes at odd addresses and bytes at even ones, n of each, into 2n
// plain bytes.
void weave(const std::uint8_t* odd, const std::uint8_t* even, std::size_t n, std::uint8_t* plain)
{
    for (std::size_t i = 0; i < n; ++i) {
        plain[2 * i + 1] = odd[i];
        plain[2 * i] = even[i];
    }
}

void weaveBlocks(const std::uint8_t* blocks, std::size_t n, std::uint8_t* plain)
{
    for (std::size_t at = 0; at + kBlock <= n; at += kBlock)
        weave(blocks + at, blocks + at + kHalfBlock, kHalfBlock, plain + at);
}

void swapWordBytes(std::uint8_t* bytes, std::size_t n)
{
    for (std::size_t i = 0; i + 1 < n; i += 2)
        std::swap(bytes[i], bytes[i + 1]);
}

bool hasInterleavedSize(std::uint64_t size)
{
    return size > kCopierHeaderSize && (size - kCopierHeaderSize) % kBlock == 0;
}

bool isInterleavedDump(const FormatProbe& probe)
{
    if (!hasInterleavedSize(probe.size) || probe.start.size() < kCopierHeaderSize + kBlock)
        return false;
    a_byte plain(kBlock);
    weaveBlocks(probe.start.data() + kCopierHeaderSize, kBlock, plain.data());
    return hasCartridgeMark(plain);
}

// The mark's letters at even addresses lie in the second half, those at odd
// ones in the first.
bool isMgdDump(const FormatProbe& probe)
{
    return probe.size % 2 == 0 && probe.middle.size() == 2 && holdsAt(probe.start, kMarkAt / 2, "EA")
        && probe.middle[0] == 'S' && probe.middle[1] == 'G';
}

// A program without a header still starts as every cartridge does: an even
// stack pointer in work RAM or one of its mirrors (or at 0, below which it
// wraps into it), and an even start address past the header, inside the
// image and the cartridge's address space. The 68000 drives 24 address lines,
// so the pointer's top byte does not count.
bool hasStartVectors(const FormatProbe& probe)
{
    if (probe.start.size() < kProgramStart)
        return false;
    const std::uint32_t stack = BigEndianNumber(probe.start.data(), 4),
                        start = BigEndianNumber(probe.start.data() + 4, 4);
    const std::uint32_t stackAddress = stack & 0xFFFFFF;
    const bool stackInRam = stack % 2 == 0 && (stackAddress == 0 || stackAddress >= kWorkRamMirrors);
    return stackInRam && start % 2 == 0 && start >= kProgramStart && start < std::min(probe.size, kCartridgeSpace);
}

// Reads n bytes at an offset of the file.
void readAt(platform::BinaryFile& file, std::uint64_t offset, std::uint8_t* into, std::size_t n)
{
    file.seek(offset);
    file.readBlock(into, n);
}

// The two halves of an MGD dump are read side by side and woven.
void readMgdImage(platform::BinaryFile& file, const PieceTaker& take, const PieceTaker& takeStored)
{
    const std::uint64_t half = file.size() / 2;
    a_byte odd, even, plain;
    for (std::uint64_t at = 0; at < half;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(half - at, kReadPiece / 2));
        odd.resize(n), even.resize(n), plain.resize(2 * n);
        readAt(file, at, odd.data(), n);
        readAt(file, half + at, even.data(), n);
        if (takeStored)
            takeStored(odd.data(), n, at);
        weave(odd.data(), even.data(), n, plain.data());
        take(plain.data(), plain.size(), 2 * at);
        at += n;
    }
    if (takeStored)
        ReadInPieces(file, half, even, takeStored);
}

} // namespace

const char* FormatName(RomFormat format)
{
    switch (format) {
    case RomFormat::Bin: return "bin";
    case RomFormat::Smd: return "smd";
    case RomFormat::Mgd: return "mgd";
    case RomFormat::ByteSwapped: return "byte-swapped";
    case RomFormat::Headerless: return "headerless";
    case RomFormat::MegaCd: return "mega-cd";
    case RomFormat::Unknown: return "unknown";
    }
    return "unknown";
}

bool HoldsReorderedImage(RomFormat format)
{
    return format == RomFormat::Smd || format == RomFormat::Mgd || format == RomFormat::ByteSwapped;
}

FormatProbe ProbeFormat(platform::BinaryFile& file)
{
    FormatProbe probe;
    probe.size = file.size();
    probe.start.resize(static_cast<std::size_t>(std::min<std::uint64_t>(probe.size, kFormatProbeSize)));
    readAt(file, 0, probe.start.data(), probe.start.size());
    const std::uint64_t middle = probe.size / 2 + kMarkAt / 2;
    if (middle + 2 <= probe.size) {
        probe.middle.resize(2);
        readAt(file, middle, probe.middle.data(), probe.middle.size());
    }
    file.seek(0);
    return probe;
}

RomFormat DetectFormat(const FormatProbe& probe)
{
    if (holdsAt(probe.start, 0, "SEGADISCSYSTEM") || holdsAt(probe.start, 0x10, "SEGADISCSYSTEM"))
        return RomFormat::MegaCd;
    if (hasCartridgeMark(probe.start))
        return RomFormat::Bin;
    if (holdsAt(probe.start, kMarkAt, "ESAG"))
        return RomFormat::ByteSwapped;
    if (isInterleavedDump(probe))
        return RomFormat::Smd;
    if (isMgdDump(probe))
        return RomFormat::Mgd;
    if (hasStartVectors(probe))
        return RomFormat::Headerless;
    return RomFormat::Unknown;
}

RomFormat DetectFormat(platform::BinaryFile& file)
{
    return DetectFormat(ProbeFormat(file));
}

std::uint64_t PlainImageSize(RomFormat format, std::uint64_t fileSize)
{
    return format == RomFormat::Smd ? fileSize - kCopierHeaderSize : fileSize;
}

void ReadPlainImage(platform::BinaryFile& file, RomFormat format, const PieceTaker& take, const PieceTaker& takeStored)
{
    if (format == RomFormat::Mgd)
        return readMgdImage(file, take, takeStored);
    const std::uint64_t start = format == RomFormat::Smd ? kCopierHeaderSize : 0;
    a_byte piece, plain(format == RomFormat::Smd ? kReadPiece : 0);
    if (start > 0 && takeStored) {
        piece.resize(start);
        readAt(file, 0, piece.data(), piece.size());
        takeStored(piece.data(), piece.size(), 0);
    }
    ReadInPieces(file, start, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t at) {
        if (takeStored)
            takeStored(data, n, at);
        if (format == RomFormat::Smd) {
            weaveBlocks(data, n, plain.data());
            data = plain.data();
        } else if (format == RomFormat::ByteSwapped) {
            swapWordBytes(piece.data(), n);
        }
        take(data, n, at - start);
    });
}

void ConvertToPlainImage(const std::string& inFile, const std::string& outFile)
{
    RequireOutputIsNotInput(inFile, outFile);
    platform::BinaryFile in = platform::BinaryFile::openForReading(inFile);
    const RomFormat format = DetectFormat(in);
    if (format == RomFormat::Bin || format == RomFormat::Headerless)
        RaiseFor(ImageFormatError("Nothing to convert: already a plain cartridge image"), inFile);
    if (!HoldsReorderedImage(format))
        RaiseFor(ImageFormatError("Not a copier dump, an MGD dump or a byte-swapped image"), inFile);
    platform::PendingFile out = platform::PendingFile::create(outFile);
    ReadPlainImage(in, format, [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        out.writeAt(offset, data, n);
    });
    out.commit();
    in.close();
}

void RequireCartridgeFormat(RomFormat format)
{
    if (format != RomFormat::Bin)
        throw ImageFormatError("Not a cartridge ROM image");
}

} // namespace varnoquil
