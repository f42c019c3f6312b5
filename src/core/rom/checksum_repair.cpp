// SPDX-License-Identifier: MIT
#include "rom/checksum_repair.h"

#include "errors.h"
#include "platform/platform.h"
#include "rom/header_fields.h"
#include "rom/rom.h"

#include <string>

namespace varnoquil {

namespace {

const char* dumpWords(RomFormat format)
{
    switch (format) {
    case RomFormat::Smd: return "an interleaved copier dump";
    case RomFormat::Mgd: return "an MGD dump";
    default: return "a byte-swapped image";
    }
}

void requireRepairable(RomFormat format, bool force)
{
    if (HoldsReorderedImage(format) && force)
        throw ImageFormatError(std::string("Not a cartridge ROM image: the checksum of ") + dumpWords(format)
                               + " lies in the plain image it holds (convert it first)");
    if (!force)
        RequireCartridgeFormat(format);
}

} // namespace

ChecksumFacts ReadChecksumFacts(const std::string& fileName, const HashKinds& hashes)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(fileName);
    ChecksumFacts facts;
    facts.fileSize = file.size();
    facts.format = DetectFormat(file);
    a_byte piece;
    std::uint32_t sum = 0;
    Hasher hasher(hashes);
    ReadInPieces(file, 0, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        if (offset == 0 && n >= kChecksumOffset + 2)
            facts.stored = static_cast<std::uint16_t>(BigEndianNumber(data + kChecksumOffset, 2));
        sum = addToCartridgeChecksum(sum, data, n, offset);
        hasher.add(data, n);
    });
    file.close();
    facts.computed = static_cast<std::uint16_t>(sum);
    facts.hashes = hasher.finish();
    return facts;
}

ChecksumRepair RepairChecksum(const std::string& fileName, const ChecksumFacts& facts, bool force, const DatIndex* dats)
{
    ForFile(fileName, [&] { requireRepairable(facts.format, force); });
    if (facts.fileSize < kChecksumStart)
        RaiseFor(IoError(IoCode::ReadBeyondEnd), fileName);
    ChecksumRepair repair{facts.stored, facts.computed, false};
    if (facts.stored != facts.computed) {
        if (dats && !force)
            ForFile(fileName, [&] { RequireUnlisted(*dats, facts.hashes, facts.fileSize); });
        WriteChecksum(fileName, facts.computed);
        repair.written = true;
    }
    return repair;
}

ChecksumRepair RepairChecksum(const std::string& fileName, bool force, const DatIndex* dats)
{
    return RepairChecksum(fileName, ReadChecksumFacts(fileName, dats ? kDatHashes : HashKinds{}), force, dats);
}

} // namespace varnoquil
