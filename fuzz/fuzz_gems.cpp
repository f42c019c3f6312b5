// SPDX-License-Identifier: MIT
// The GEMS table search and replacement and the checksum repair on any
// image, in memory and through the Fix GEMS command on files in memory.

#include "errors.h"
#include "fuzz_check.h"
#include "gems/fix_gems.h"
#include "gems/table_search.h"
#include "reference_fix.h"
#include "rom/rom.h"
#include "rom_builder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

using namespace varnoquil;

namespace {

// A scale in the range of the window's up-down controls, from two bytes.
double ScaleFrom(const std::uint8_t* bytes)
{
    return (1 + (bytes[0] | bytes[1] << 8) % 32767) / 1000.0;
}

// A table's bytes as they lie in an image.
template <std::size_t N>
a_byte Bytes(const std::array<std::uint16_t, N>& table)
{
    const auto bytes = TableBytes(table);
    return a_byte(bytes.begin(), bytes.end());
}

// Replaces a table and checks that exactly its bytes changed, where the
// search found it.
template <typename Fix>
std::int64_t CheckReplacement(a_byte& image, std::int64_t found, Fix fix, const a_byte& table)
{
    const a_byte before = image;
    Check(fix(image) == (found >= 0), "a table is replaced where it is found");
    Check(image.size() == before.size(), "the image keeps its size");
    if (found < 0) {
        Check(image == before, "an image without the table is untouched");
        return found;
    }
    const auto at = static_cast<std::size_t>(found);
    Check(at + table.size() <= image.size(), "the table lies inside the image");
    Check(std::equal(table.begin(), table.end(), image.begin() + std::ptrdiff_t(at)), "the new table is written");
    Check(std::equal(image.begin(), image.begin() + std::ptrdiff_t(at), before.begin()), "bytes before stay");
    const auto after = std::ptrdiff_t(at + table.size());
    Check(std::equal(image.begin() + after, image.end(), before.begin() + after), "bytes after stay");
    return found;
}

void StoreChecksum(a_byte& image)
{
    if (image.size() < kChecksumOffset + 2)
        return;
    const auto field = ChecksumField(
        static_cast<std::uint16_t>(checksumRange(image, 512, static_cast<std::int64_t>(image.size()) - 1)));
    std::copy(field.begin(), field.end(), image.begin() + kChecksumOffset);
}

std::string ScratchFolder()
{
    static const std::string folder = [] {
        std::string path = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : "/tmp") + "/fuzz-gems-XXXXXX";
        Check(::mkdtemp(path.data()) != nullptr, "scratch folder");
        return path;
    }();
    return folder;
}

// Whether a checksum may be written at 0x18E: a cartridge's mark at 0x100,
// and no disc's mark at 0 or 0x10. Written apart from the program's rule.
bool IsCartridgeImage(const std::uint8_t* data, std::size_t size)
{
    const auto holds = [&](std::size_t at, const std::string& mark) {
        return size >= at + mark.size() && std::equal(mark.begin(), mark.end(), data + at);
    };
    return (holds(0x100, "SEGA") || holds(0x100, " SEGA")) && !holds(0, "SEGADISCSYSTEM")
        && !holds(0x10, "SEGADISCSYSTEM");
}

// What the command writes; nothing when it refuses the input, which it must
// do exactly when the checksum is to be repaired in what is no cartridge.
std::optional<a_byte> RunCommand(const std::uint8_t* data, std::size_t size, double fm, double psg, bool checksum)
{
    static const int fd = ::memfd_create("input", 0);
    Check(::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "memory file");
    const std::string out = ScratchFolder() + "/out.bin";
    a_byte image;
    try {
        FixGems(vtest::FixRequest("/proc/self/fd/" + std::to_string(fd), out, fm, psg, checksum), {}, image);
    } catch (const ImageFormatError&) {
        Check(checksum && !IsCartridgeImage(data, size), "only what is no cartridge is refused");
        Check(::access(out.c_str(), F_OK) != 0, "a refused run writes nothing");
        return std::nullopt;
    }
    Check(!checksum || IsCartridgeImage(data, size), "what is no cartridge is refused");
    std::ifstream written(out, std::ios::binary);
    a_byte bytes(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>{});
    // A new output each time: replacing one would flush it to disk.
    ::unlink(out.c_str());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const double fm = ScaleFrom(data), psg = ScaleFrom(data + 2);
    const bool checksum = data[4] & 1;
    data += 5;
    size -= 5;

    a_byte image(data, data + size);
    const std::int64_t fmAt = FindFmTable(image.data(), image.size());
    CheckReplacement(
        image, fmAt, [&](a_byte& i) { return vtest::FixFmTable(i, fm); }, Bytes(BuildFmTable(Scale(fm))));
    const std::int64_t psgAt = FindPsgTable(image.data(), image.size());
    CheckReplacement(
        image, psgAt, [&](a_byte& i) { return vtest::FixPsgTable(i, psg); }, Bytes(BuildPsgTable(Scale(psg))));
    if (checksum)
        StoreChecksum(image);
    if (image.size() > 512) {
        const auto sum = checksumRange(image, 512, static_cast<std::int64_t>(image.size()) - 1);
        Check(!checksum || image.size() < kChecksumOffset + 2
                  || static_cast<std::uint16_t>(sum) == (image[kChecksumOffset] << 8 | image[kChecksumOffset + 1]),
              "the stored checksum is the sum of the data after the header");
    }

    const std::optional<a_byte> written = RunCommand(data, size, fm, psg, checksum);
    Check(!written || *written == image, "the command writes what the steps make");
    return 0;
}
