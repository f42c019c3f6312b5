// SPDX-License-Identifier: MIT
// make_bench_image: writes a synthetic ROM image for performance runs.
//
//   make_bench_image [--tables] SIZE_MIB FILE
//
// The image holds a header, deterministic pseudo-random filler and its own
// checksum; with --tables, the scale-1.0 FM and PSG tables sit near its end.

#include "bench_image.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    bool tables = false;
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--tables") {
        tables = true;
        first = 2;
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: make_bench_image [--tables] SIZE_MIB FILE\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long mib = std::strtoul(argv[first], &end, 10);
    if (*end != '\0' || mib == 0 || mib > 4096) {
        std::fprintf(stderr, "make_bench_image: SIZE_MIB must be a whole number from 1 to 4096\n");
        return 2;
    }
    try {
        varnoquil::a_byte image = varnoquil::bench::MakeImage(static_cast<std::size_t>(mib) << 20, mib);
        if (tables)
            varnoquil::bench::PlaceTables(image);
        varnoquil::bench::StoreChecksum(image);
        varnoquil::bench::WriteFile(argv[first + 1], image);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_bench_image: %s\n", error.what());
        return 1;
    }
    return 0;
}
