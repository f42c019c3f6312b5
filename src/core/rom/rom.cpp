// SPDX-License-Identifier: MIT
#include "rom/rom.h"

#include "errors.h"
#include "platform/platform.h"
#include "rom/header_fields.h"
#include "text.h"
#include "vector_clones.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace varnoquil {

using platform::BinaryFile;

namespace {

struct ByteSums {
    std::uint64_t even = 0;
    std::uint64_t odd = 0;
};

// Sums the bytes at even and at odd positions of data[0..n) separately, n
// even. Eight bytes are taken at a time: their four even and four odd bytes
// go into the 16-bit lanes of two 64-bit words, which 257 additions of a byte
// cannot overflow, so the lanes are emptied every 256 steps. The compiler
// turns the inner loop into vector code.
VARNOQUIL_VECTOR_CLONES
ByteSums sumEvenAndOddBytes(const std::uint8_t* data, std::size_t n)
{
    constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
    constexpr std::size_t kStepsPerFlush = 256;
    std::uint64_t lower = 0, upper = 0; // the lower and upper byte of every 16-bit piece
    const std::size_t words = n / 8;
    for (std::size_t done = 0; done < words;) {
        const std::size_t end = std::min(words, done + kStepsPerFlush);
        std::uint64_t lowerLanes = 0, upperLanes = 0;
        for (; done < end; ++done) {
            std::uint64_t word;
            std::memcpy(&word, data + 8 * done, 8);
            lowerLanes += word & kLowBytes;
            upperLanes += (word >> 8) & kLowBytes;
        }
        for (int lane = 0; lane < 4; ++lane) {
            lower += (lowerLanes >> (16 * lane)) & 0xFFFF;
            upper += (upperLanes >> (16 * lane)) & 0xFFFF;
        }
    }
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    ByteSums sums{lower, upper};
#else
    ByteSums sums{upper, lower};
#endif
    for (std::size_t i = 8 * words; i < n; i += 2) {
        sums.even += data[i];
        sums.odd += data[i + 1];
    }
    return sums;
}

} // namespace

std::uint32_t addToChecksum(std::uint32_t sum, const std::uint8_t* data, std::size_t n, std::uint64_t firstIndex)
{
    if (n == 0)
        return sum;
    if (firstIndex % 2 == 1) {
        sum += data[0];
        ++data;
        --n;
    }
    // From here data[0] is a high byte. Both sums wrap modulo 2^32 the same
    // way as a word-by-word sum would.
    const ByteSums sums = sumEvenAndOddBytes(data, n - n % 2);
    std::uint32_t high = static_cast<std::uint32_t>(sums.even), low = static_cast<std::uint32_t>(sums.odd);
    if (n % 2 == 1)
        high += data[n - 1];
    return sum + high * 256u + low;
}

std::uint32_t addToCartridgeChecksum(std::uint32_t sum, const std::uint8_t* data, std::size_t n, std::uint64_t offset)
{
    const auto skipped
        = static_cast<std::size_t>(std::min<std::uint64_t>(n, offset < kChecksumStart ? kChecksumStart - offset : 0));
    return addToChecksum(sum, data + skipped, n - skipped, offset + skipped);
}

std::uint32_t replaceInChecksum(std::uint32_t sum, std::uint64_t offset, const std::uint8_t* before,
                                const std::uint8_t* after, std::size_t n)
{
    return addToCartridgeChecksum(sum, after, n, offset) - addToCartridgeChecksum(0, before, n, offset);
}

std::uint32_t checksumRange(const a_byte& image, std::int64_t first, std::int64_t last)
{
    if (last < first)
        return 0;
    return addToChecksum(0, image.data() + first, static_cast<std::size_t>(last - first + 1),
                         static_cast<std::uint64_t>(first));
}

void ReadInPieces(BinaryFile& file, std::uint64_t from, a_byte& buffer, const PieceTaker& take)
{
    const std::uint64_t size = file.size();
    const std::uint64_t length = size > from ? size - from : 0;
    buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, kReadPiece)));
    file.seek(from);
    for (std::uint64_t offset = from; offset < size;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, buffer.size()));
        file.readBlock(buffer.data(), n);
        take(buffer.data(), n, offset);
        offset += n;
    }
}

namespace {

// Reads up to n bytes from an offset; fewer at the file's end.
std::size_t readUpTo(BinaryFile& file, std::uint64_t offset, std::uint8_t* into, std::size_t n)
{
    file.seek(offset);
    std::size_t done = 0;
    for (std::size_t got; done < n && (got = file.readSome(into + done, n - done)) > 0;)
        done += got;
    return done;
}

// The checksum of everything from 0x200 to the end.
std::uint16_t checksumOfTail(BinaryFile& file)
{
    a_byte piece;
    std::uint32_t sum = 0;
    ReadInPieces(file, kChecksumStart, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        sum = addToChecksum(sum, data, n, offset);
    });
    return static_cast<std::uint16_t>(sum);
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Builds a text the way a zero-terminated label keeps it: every time a part
// is added, the text is cut at its first zero byte.
class LabelText {
public:
    void append(const std::string& part)
    {
        text_ += part;
        text_.resize(std::min(text_.size(), text_.find('\0')));
    }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

struct Device {
    char letter;
    const char* name;
};

constexpr std::array<Device, 14> kDevices = {{
    {'J', "3-button joypad"},
    {'6', "6-button joypad"},
    {'K', "keyboard"},
    {'P', "printer"},
    {'B', "control ball"},
    {'F', "floppy disk drive"},
    {'L', "Activator"},
    {'4', "team play"},
    {'0', "joystick for MS"},
    {'R', "serial RS232C"},
    {'T', "tablet"},
    {'V', "paddle controller"},
    {'C', "CD-ROM"},
    {'M', "mega mouse"},
}};

} // namespace

void ReadHeader(const std::string& fileName, iSMD_& info)
{
    info = iSMD_{};
    BinaryFile file = BinaryFile::openForReading(fileName);
    std::array<std::uint8_t, kHeaderSize> header{};
    const std::size_t got = readUpTo(file, kHeaderStart, header.data(), header.size());
    // Fields are taken in their order, as far as the file holds them whole.
    const auto whole = [&](HeaderField field) {
        if (field.offset - kHeaderStart + field.size > got)
            RaiseFor(IoError(IoCode::ReadBeyondEnd), fileName);
        return field;
    };
    const auto text = [&](HeaderField field) { return FieldBytes(header.data(), whole(field)); };
    const auto number = [&](HeaderField field) { return FieldNumber(header.data(), whole(field)); };
    namespace F = HeaderFields;
    info.Platform = text(F::Platform);
    info.Copyright = text(F::Copyright);
    info.DomesticName = text(F::DomesticName);
    info.OverseasName = text(F::OverseasName);
    info.RomType = text(F::RomType);
    info.Version = text(F::Version);
    info.HeaderCrc = static_cast<std::uint16_t>(number(F::Checksum));
    info.IoDevices = text(F::IoDevices);
    info.RomStart = number(F::RomStart);
    info.RomEnd = number(F::RomEnd);
    info.RomSize = static_cast<std::int32_t>(info.RomEnd - info.RomStart);
    info.Modem = text(F::Modem);
    info.Memo = text(F::Memo);
    info.Country = text(F::Country);

    info.FileCrc = checksumOfTail(file);
    file.close();
}

std::vector<std::string> SupportedDevices(const std::string& ioDevices)
{
    std::vector<std::string> names;
    for (const Device& device : kDevices)
        if (ioDevices.find(device.letter) != std::string::npos)
            names.push_back(device.name);
    return names;
}

std::string InformationText(const iSMD_& info)
{
    LabelText label;
    label.append("platform: " + info.Platform + kCrLf + "copyright: " + info.Copyright + kCrLf
                 + "D-name: " + info.DomesticName + kCrLf + "O-name: " + info.OverseasName + kCrLf);

    const std::string type = UpperAscii(info.RomType);
    if (contains(type, "GM"))
        label.append("type: Game" + kCrLf);
    else if (contains(type, "AL"))
        label.append("type: Education" + kCrLf);

    label.append("version: " + info.Version + kCrLf + "country: " + info.Country + kCrLf
                 + "ROM size: " + std::to_string(info.RomSize) + kCrLf);
    label.append("hdr CRC=" + Hex4(info.HeaderCrc) + kCrLf + "file CRC=" + Hex4(info.FileCrc) + kCrLf);
    label.append("supported I/O devices:" + kCrLf);
    for (const std::string& device : SupportedDevices(info.IoDevices))
        label.append("> " + device + kCrLf); // NOLINT(performance-inefficient-string-concatenation): a line is one part

    if (contains(info.Modem, "MO")) {
        const std::string& m = info.Modem;
        label.append("> Modem support: " + kCrLf + "   firmware: " + m.substr(2, 4) + kCrLf
                     + "   modem No: " + m.substr(6, 2) + kCrLf + "   version: " + m.substr(9, 1) + kCrLf + kCrLf);
    }
    label.append(info.Memo);
    return label.str();
}

std::array<std::uint8_t, 2> ChecksumField(std::uint16_t checksum)
{
    return {static_cast<std::uint8_t>(checksum >> 8), static_cast<std::uint8_t>(checksum & 0xFF)};
}

void WriteChecksum(const std::string& fileName, std::uint16_t checksum)
{
    BinaryFile file = BinaryFile::openExisting(fileName);
    const auto field = ChecksumField(checksum);
    file.writeAt(kChecksumOffset, field.data(), field.size());
    file.close();
}

void RequireOutputIsNotInput(const std::string& inFile, const std::string& outFile)
{
    if (platform::sameFile(inFile, outFile))
        RaiseFor(RequestError("The output file must not be the input file"), outFile);
}

} // namespace varnoquil
