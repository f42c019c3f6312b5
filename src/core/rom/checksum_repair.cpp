// SPDX-License-Identifier: MIT
#include "rom/checksum_repair.h"

#include "errors.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <algorithm>

namespace varnoquil {

namespace {

void requireRepairable(RomFormat format, bool force)
{
    if (format == RomFormat::Smd && force)
        throw ImageFormatError("Not a cartridge ROM image: an interleaved copier dump, whose checksum lies in the "
                               "plain image it holds (deinterleave it first)");
    if (!force)
        RequireCartridgeFormat(format);
}

} // namespace

ChecksumFacts ReadChecksumFacts(const std::string& fileName)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(fileName);
    ChecksumFacts facts;
    facts.fileSize = file.size();
    a_byte piece;
    std::uint32_t sum = 0;
    ReadInPieces(file, 0, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        if (offset == 0) {
            facts.format = DetectFormat(data, std::min(n, kFormatProbeSize), facts.fileSize);
            if (n >= kChecksumOffset + 2)
                facts.stored = static_cast<std::uint16_t>(data[kChecksumOffset] << 8 | data[kChecksumOffset + 1]);
        }
        sum = addToCartridgeChecksum(sum, data, n, offset);
    });
    file.close();
    facts.computed = static_cast<std::uint16_t>(sum);
    return facts;
}

ChecksumRepair RepairChecksum(const std::string& fileName, const ChecksumFacts& facts, bool force)
{
    ForFile(fileName, [&] { requireRepairable(facts.format, force); });
    if (facts.fileSize < kChecksumStart)
        RaiseFor(IoError(IoCode::ReadBeyondEnd), fileName);
    ChecksumRepair repair{facts.stored, facts.computed, false};
    if (facts.stored != facts.computed) {
        WriteChecksum(fileName, facts.computed);
        repair.written = true;
    }
    return repair;
}

ChecksumRepair RepairChecksum(const std::string& fileName, bool force)
{
    return RepairChecksum(fileName, ReadChecksumFacts(fileName), force);
}

} // namespace varnoquil
