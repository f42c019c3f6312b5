// SPDX-License-Identifier: MIT
// The header reader and the information text, the format's detection, the
// plain image a dump holds and its decoded header, on any file content, read
// from a file in memory through the real file layer.

#include "errors.h"
#include "fuzz_check.h"
#include "platform/platform.h"
#include "rom/rom.h"
#include "rom/rom_format.h"
#include "rom/rom_header.h"
#include "text.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace varnoquil;

namespace {

void CheckShownOnTerminal(const std::string& text)
{
    const std::string shown = ControlBytesAsQuestionMarks(text);
    Check(shown.size() == text.size(), "terminal text keeps its length");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(shown[i]);
        Check(byte >= 0x20 || byte == '\r' || byte == '\n', "no control byte reaches a terminal");
        Check(byte != 0x7F, "no DEL reaches a terminal");
        Check(shown[i] == text[i] || shown[i] == '?', "only control bytes change");
    }
}

// The plain image comes in order, whole, and holds the file's bytes where
// the format puts them.
a_byte CheckPlainImage(const std::uint8_t* data, std::size_t size, RomFormat format)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(MemoryFile());
    Check(DetectFormat(file) == format, "the format is the same from an open file");
    a_byte plain;
    ReadPlainImage(file, format, [&](const std::uint8_t* piece, std::size_t n, std::uint64_t offset) {
        Check(offset == plain.size(), "pieces come in order");
        plain.insert(plain.end(), piece, piece + n);
    });
    Check(plain.size() == PlainImageSize(format, size), "the plain image is whole");
    const std::size_t half = size / 2;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (format == RomFormat::ByteSwapped && i + 1 < size)
            Check(plain[i] == data[i ^ 1], "a byte-swapped image's words are swapped back");
        else if (format == RomFormat::Mgd)
            Check(plain[i] == data[i % 2 ? i / 2 : half + i / 2], "an MGD dump's halves are woven");
        else if (format == RomFormat::Smd)
            Check(plain[i] == data[512 + i / 16384 * 16384 + (i % 2 ? 0 : 8192) + i % 16384 / 2],
                  "a copier dump's blocks are woven");
        else if (format != RomFormat::ByteSwapped)
            Check(plain[i] == data[i], "a plain image is the file");
    }
    return plain;
}

void CheckDecodedHeader(const a_byte& plain)
{
    const DecodedHeader header = DecodeHeader(plain.data(), plain.size());
    static const std::vector<std::string> regions = {"Japan", "Americas", "Europe", "Asia"};
    auto at = regions.begin();
    for (const std::string& region : header.regions) {
        at = std::find(at, regions.end(), region);
        Check(at != regions.end(), "regions are named, in their order, once each");
        ++at;
    }
    static const std::vector<std::string> hardware
        = {"32x-security-code", "sega-mapper", "sram-odd", "sram-even", "sram-both", "eeprom"};
    for (const std::string& part : header.hardware)
        Check(std::find(hardware.begin(), hardware.end(), part) != hardware.end(), "hardware is named");
    for (const AddressRange& range : {header.rom, header.ram})
        Check(range.size().has_value() == (range.end >= range.start), "only a valid range has a size");
    Check(header.headerHex.size() == 512, "the header in hexadecimal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FillMemoryFile(data, size);
    {
        platform::BinaryFile file = platform::BinaryFile::openForReading(MemoryFile());
        const a_byte plain = CheckPlainImage(data, size, DetectFormat(file));
        if (plain.size() >= 512)
            CheckDecodedHeader(plain);
    }
    iSMD_ info;
    try {
        ReadHeader(MemoryFile(), info);
    } catch (const IoError& e) {
        Check(size < 512 && e.code() == IoCode::ReadBeyondEnd, "only a file shorter than a header fails");
        return 0;
    }
    Check(size >= 512, "a file shorter than a header is read");
    Check(info.HeaderCrc == (data[0x18E] << 8 | data[0x18F]), "stored checksum");
    const a_byte tail(data + 512, data + size);
    const auto sum = checksumRange(tail, 0, static_cast<std::int64_t>(tail.size()) - 1);
    Check(info.FileCrc == static_cast<std::uint16_t>(sum), "computed checksum");
    Check(info.Platform.size() == 16 && info.Memo.size() == 40 && info.Country.size() == 16, "field sizes");

    const std::string text = InformationText(info);
    Check(text.find('\0') == std::string::npos, "the text ends at a zero byte");
    Check(text.rfind("platform: ", 0) == 0, "the text starts with the platform");
    CheckShownOnTerminal(text);
    return 0;
}
