// SPDX-License-Identifier: MIT
#include "bench_image.h"

#include "gems/table_search.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace varnoquil::bench {

namespace {

// splitmix64: a small, fast generator whose output does not depend on the
// standard library's implementation.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

void putText(a_byte& image, std::size_t at, const char* text, std::size_t width)
{
    const std::size_t n = std::strlen(text);
    for (std::size_t i = 0; i < width; ++i)
        image[at + i] = static_cast<std::uint8_t>(i < n ? text[i] : ' ');
}

void putBigEndian32(a_byte& image, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

template <std::size_t N>
void putTable(a_byte& image, std::size_t at, const std::array<std::uint16_t, N>& table)
{
    const auto bytes = TableBytes(table);
    std::memcpy(image.data() + at, bytes.data(), bytes.size());
}

} // namespace

a_byte MakeImage(std::size_t size, std::uint64_t seed)
{
    if (size < 0x200)
        throw std::invalid_argument("a benchmark image holds at least 0x200 bytes");
    a_byte image(size);
    Random random(seed);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t word = random.next();
        std::memcpy(image.data() + i, &word, 8);
    }
    for (const std::uint64_t word = random.next(); i < size; ++i)
        image[i] = static_cast<std::uint8_t>(word >> (8 * (i % 8)));

    putText(image, 0x100, "SEGA MEGA DRIVE", 16);
    putText(image, 0x110, "(C)BNCH 2024.JAN", 16);
    putText(image, 0x120, "VARNOQUIL BENCHMARK IMAGE", 48);
    putText(image, 0x150, "VARNOQUIL BENCHMARK IMAGE", 48);
    putText(image, 0x180, "GM", 2);
    putText(image, 0x182, " 00000000-00", 12);
    putText(image, 0x190, "J6", 16);
    putBigEndian32(image, 0x1A0, 0);
    putBigEndian32(image, 0x1A4, static_cast<std::uint32_t>(size - 1));
    putText(image, 0x1A8, "", 20);
    putText(image, 0x1BC, "", 12);
    putText(image, 0x1C8, "", 40);
    putText(image, 0x1F0, "JUE", 16);

    // Random filler holds neither table in practice; make sure of it by
    // spoiling the first byte of any match (the FM table's first byte, the
    // PSG table's first high byte, which must match exactly).
    for (std::int64_t at; (at = FindFmTable(image.data(), image.size())) >= 0;)
        image[static_cast<std::size_t>(at)] ^= 0x80;
    for (std::int64_t at; (at = FindPsgTable(image.data(), image.size())) >= 0;)
        image[static_cast<std::size_t>(at) + 1] ^= 0x80;
    return image;
}

std::size_t FmTableOffset(const a_byte& image)
{
    return image.size() - 4096;
}

std::size_t PsgTableOffset(const a_byte& image)
{
    return image.size() - 2048;
}

void PlaceTables(a_byte& image)
{
    if (image.size() < 4096 + 0x200)
        throw std::invalid_argument("the image is too small to hold the tables near its end");
    putTable(image, FmTableOffset(image), BuildFmTable(Scale(1.0)));
    putTable(image, PsgTableOffset(image), BuildPsgTable(Scale(1.0)));
}

void StoreChecksum(a_byte& image)
{
    const auto sum = static_cast<std::uint16_t>(
        checksumRange(image, static_cast<std::int64_t>(kChecksumStart), static_cast<std::int64_t>(image.size()) - 1));
    const auto field = ChecksumField(sum);
    std::memcpy(image.data() + kChecksumOffset, field.data(), field.size());
}

void WriteFile(const std::string& path, const a_byte& image)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create " + path);
    const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path);
}

} // namespace varnoquil::bench
