// SPDX-License-Identifier: MIT
// make_bench_dat: writes a synthetic Logiqx DAT file for performance runs.
//
//   make_bench_dat GAMES FILE [IMAGE]...
//
// The DAT lists GAMES games: the IMAGEs first, with their sizes and hashes,
// then made-up games.

#include "bench_dat.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_bench_dat GAMES FILE [IMAGE]...\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long games = std::strtoul(argv[1], &end, 10);
    if (*end != '\0' || games < static_cast<unsigned long>(argc - 3)) {
        std::fprintf(stderr, "make_bench_dat: GAMES must be a whole number, at least the number of images\n");
        return 2;
    }
    try {
        const std::string dat = varnoquil::bench::MakeDat(games, std::vector<std::string>(argv + 3, argv + argc));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        if (!out.write(dat.data(), static_cast<std::streamsize>(dat.size())))
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_bench_dat: %s\n", error.what());
        return 1;
    }
    return 0;
}
