#include "errors.h"
#include "fix_gems.h"
#include "gems.h"
#include "platform.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace varnoquil;
using namespace vtest;

namespace {

// Progress callbacks that log every call, in order.
FixGemsProgress Logger(std::vector<std::string>& log)
{
    return {[&] { log.push_back("clear"); }, [&](const std::string& text) { log.push_back("+" + text); },
            [&](std::int64_t n) { log.push_back("max " + std::to_string(n)); },
            [&](std::int64_t n) { log.push_back("step " + std::to_string(n)); }, [&] { log.push_back("pending"); }};
}

const std::size_t kFmAt = 0x801, kPsgAt = 0x900;

// Random data under a game header; the FM table at an odd offset and the PSG
// table with one low byte off by one (0x0153 read as 0x0154) when asked for.
a_byte Game(std::size_t size, bool fm, bool psg)
{
    RomBuilder rom = RomBuilder(size).Random(unsigned(size));
    if (size >= 0x200)
        rom.GameHeader().BigEndian(0x18E, 0xBEEF, 2);
    if (fm)
        rom.Put(kFmAt, LittleEndian(BuildFmTable(1.0)));
    if (psg)
        rom.Put(kPsgAt, LittleEndian(BuildPsgTable(1.0))).Put(kPsgAt + 38, a_byte {0x54});
    return rom.bytes;
}

TEST(FixGems, StatusProgressAndOutput)
{
    struct Case { std::size_t size; bool fm, psg, checksum; double fmScale, psgScale; };
    const Case cases[] = {
        {0x1000, true, true, true, 1.25, 1.5}, {0x1000, true, true, false, 2, 0.5}, {0x1000, true, true, false, 1, 1},
        {0x1000, false, true, true, 1.25, 1.5}, {0x1000, false, false, true, 2, 2}, {0x1000, false, false, false, 2, 2},
        {0, false, false, true, 2, 2}, {300, false, false, true, 2, 2}, {399, false, false, true, 2, 2},
        {400, false, false, true, 2, 2}, {513, false, false, true, 2, 2},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const a_byte input = Game(c.size, c.fm, c.psg);
        WriteFile(dir.Path("in.bin"), input);
        std::vector<std::string> log;
        a_byte image(77, 0xAA);  // left over from an earlier run
        FixGems({dir.Path("in.bin"), dir.Path("out.bin"), c.fmScale, c.psgScale, c.checksum}, Logger(log), image);

        const std::string maximum = "max " + std::to_string(2 * c.size + (c.checksum ? 30 : 20));
        std::vector<std::string> events = {"clear", "+Loading..\r\n", maximum, "pending", "step 1", c.fm ? "+fm fixed" : "+fm not fixed", "step 10", "pending",
            c.psg ? "+\r\npsg fixed\r\n" : "+\r\npsg not fixed\r\n", "step 10", "pending"};
        if (c.checksum)
            events.insert(events.end(), {"+checksum fix..\r\n", "step 10"});
        events.insert(events.end(), {"step 1", "+Fix Finished!"});
        EXPECT_EQ(log, events) << c.size;

        // The tables replaced, then the checksum of 0x200..end stored when the image holds its field.
        RomBuilder expected(input);
        if (c.fm)
            expected.Put(kFmAt, LittleEndian(BuildFmTable(c.fmScale)));
        if (c.psg)
            expected.Put(kPsgAt, LittleEndian(BuildPsgTable(c.psgScale)));
        if (c.checksum && c.size >= 400)
            expected.BigEndian(0x18E, checksumRange(expected.bytes, 512, std::int64_t(c.size) - 1), 2);
        EXPECT_EQ(ReadFile(dir.Path("out.bin")), expected.bytes) << c.size << c.fm << c.psg << c.checksum;
        EXPECT_EQ(ReadFile(dir.Path("in.bin")), input);
    }
}

// Runs a request that must leave every file as it was; returns the code of
// its I/O error, 0 when it was refused up front, -1 when it did nothing.
int Attempt(const TempDir& dir, const std::string& in, const std::string& out, double fm = 1)
{
    const auto before = dir.Contents();
    std::vector<std::string> log;
    a_byte image;
    int code = -1;
    try {
        FixGems({dir.Path(in), out.empty() ? "" : dir.Path(out), fm, 1, true}, Logger(log), image);
    } catch (const RequestError&) {
        code = 0;
    } catch (const IoError& e) {
        code = e.code();
    }
    EXPECT_EQ(dir.Contents(), before) << in << " -> " << out;
    EXPECT_TRUE(code > 0 || log.empty()) << in << " -> " << out;
    return code;
}

TEST(FixGems, RefusedOrFailedRunsLeaveEveryFileAsItWas)
{
    TempDir dir;
    WriteFile(dir.Path("in.bin"), Game(0x1000, true, true));
    ::link(dir.Path("in.bin").c_str(), dir.Path("link.bin").c_str());
    EXPECT_EQ(Attempt(dir, "in.bin", "in.bin"), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", "link.bin"), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", "out.bin", 0), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", ""), -1);
    EXPECT_EQ(Attempt(dir, "none.bin", "out.bin"), 2);
    EXPECT_EQ(Attempt(dir, "in.bin", "no/out.bin"), 2);
    WriteFile(dir.Path("out.bin"), {1, 2});
    ::chmod(dir.Path("out.bin").c_str(), 0444);
    EXPECT_EQ(Attempt(dir, "in.bin", "out.bin"), 5);
    ::chmod(dir.Path("in.bin").c_str(), 0444);
    EXPECT_EQ(Attempt(dir, "in.bin", "new.bin"), 5);
}

TEST(FixGems, AnExistingOutputIsReplacedOnlyByACompleteFile)
{
    TempDir dir;
    const a_byte old = {1, 2, 3};
    WriteFile(dir.Path("in.bin"), Game(0x1000, false, false));
    WriteFile(dir.Path("out.bin"), old);
    ::chmod(dir.Path("out.bin").c_str(), 0640);
    {
        const platform::PendingFile pending = platform::PendingFile::create(dir.Path("out.bin"));
        const platform::PendingFile fresh = platform::PendingFile::create(dir.Path("new.bin"));
        EXPECT_EQ(dir.Contents().size(), 4u) << "temporary files sit beside their targets";
    }  // dropped without commit
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte> {{"in.bin", Game(0x1000, false, false)}, {"out.bin", old}}));

    a_byte image;
    FixGems({dir.Path("in.bin"), dir.Path("out.bin"), 2, 2, false}, {}, image);
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte> {{"in.bin", image}, {"out.bin", image}}));
    struct stat st {};
    ::stat(dir.Path("out.bin").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

} // namespace
