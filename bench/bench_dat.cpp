// SPDX-License-Identifier: MIT
#include "bench_dat.h"

#include "identify/hashes.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace varnoquil::bench {

namespace {

std::string gameEntry(std::size_t number, std::uint64_t size, const FileHashes& hashes)
{
    const std::string name = "Game " + std::to_string(number) + " (World)";
    return "\t<game name=\"" + name + "\">\n\t\t<description>" + name + "</description>\n\t\t<rom name=\"" + name
        + ".md\" size=\"" + std::to_string(size) + "\" crc=\"" + hashes.crc32 + "\" md5=\"" + hashes.md5 + "\" sha1=\""
        + hashes.sha1 + "\" status=\"verified\"/>\n\t</game>\n";
}

std::string randomHex(std::mt19937_64& random, std::size_t digits)
{
    std::string hex;
    while (hex.size() < digits) {
        char part[17];
        std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random()));
        hex += part;
    }
    return hex.substr(0, digits);
}

} // namespace

std::string MakeDat(std::size_t games, const std::vector<std::string>& images)
{
    std::string dat = "<?xml version=\"1.0\"?>\n<datafile>\n\t<header>\n\t\t<name>Benchmark</name>\n\t</header>\n";
    std::size_t number = 0;
    for (const std::string& image : images)
        dat += gameEntry(number++, platform::BinaryFile::openForReading(image).size(), HashFile(image, kReportHashes));
    std::mt19937_64 random(games);
    for (; number < games; ++number)
        dat += gameEntry(number, random() % (8 << 20),
                         {randomHex(random, 8), randomHex(random, 32), randomHex(random, 40), ""});
    return dat + "</datafile>\n";
}

} // namespace varnoquil::bench
