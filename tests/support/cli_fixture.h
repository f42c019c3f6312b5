// SPDX-License-Identifier: MIT
#pragma once

// Runs the command-line tool as a separate process, on images built in a
// temporary folder.

#include "gems.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace vtest {

inline std::string Q(const std::string& text)
{
    return "'" + text + "'";
}

class Cli : public ::testing::Test {
protected:
    struct Result {
        int exit;
        std::string out, err;
    };
    TempDir dir, io;

    // Runs the tool with its standard output in a file of the test's, or in
    // stdoutTo when given (a device, say).
    Result Run(const std::string& args, const std::string& stdoutTo = "") const
    {
        const std::string target = stdoutTo.empty() ? io.Path("out") : stdoutTo;
        WriteFile(io.Path("out"), {});
        const int status = std::system(
            (Q(VARNOQUIL_CLI) + " " + args + " >" + Q(target) + " 2>" + Q(io.Path("err")) + " </dev/null").c_str());
        const a_byte out = ReadFile(io.Path("out")), err = ReadFile(io.Path("err"));
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {out.begin(), out.end()}, {err.begin(), err.end()}};
    }

    // A game with both GEMS tables, a wrong stored checksum (0A5F), a modem
    // field, a zero byte in its memo and raw high bytes in its name.
    std::string Game(const std::string& name) const
    {
        RomBuilder rom = RomBuilder(0x400).Random(1, 0x200).GameHeader().BigEndian(0x18E, 0x0A5F, 2);
        rom.Put(0x301, LittleEndian(varnoquil::BuildFmTable(1.0)))
            .Put(0x320, LittleEndian(varnoquil::BuildPsgTable(1.0)));
        rom.Put(0x120, "\xC8\xC3\xD0").Put(0x1BC, "MOSEGA01.2").Put(0x1C8, std::string("M\0X", 3));
        WriteFile(dir.Path(name), rom.bytes);
        return dir.Path(name);
    }
};

} // namespace vtest
