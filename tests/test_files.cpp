// SPDX-License-Identifier: MIT
// The file layer on real files of every kind in a scratch folder: what is
// read, what is refused and with which text, what an output goes through,
// and that nothing is lost or left behind.

#include "errors.h"
#include "gems/fix_gems.h"
#include "platform/platform.h"
#include "platform/posix_common.h"
#include "rom/rom.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

using namespace varnoquil;
using namespace vtest;
namespace fs = std::filesystem;

TEST(IoErrors, SystemErrorsMapToTheProgramsCodesOrStayApart)
{
    // Unmapped errnos whose numbers are also program codes keep their own meaning.
    // clang-format off
    const std::tuple<int, const char*, std::vector<int>> rows[] = {
        {2, "File not found", {ENOENT}}, {3, "Invalid filename", {ENOTDIR, ENAMETOOLONG, EINVAL}},
        {4, "Too many open files", {EMFILE, ENFILE}}, {5, "File access denied", {EACCES, EPERM, EROFS, EISDIR}},
        {101, "Disk full", {ENOSPC, EDQUOT}}, {0, "I/O error ", {EIO, ENETDOWN, ENETUNREACH, ELOOP}}};
    // clang-format on
    for (const auto& [code, text, errs] : rows)
        for (const int err : errs) {
            const IoError e = IoError::fromErrno(err);
            EXPECT_EQ(std::tuple(e.code(), std::string(e.what()), e.systemError()),
                      std::tuple(code, text + (code ? "" : std::to_string(err)), code ? 0 : err));
        }
    EXPECT_EQ(std::tuple(std::string(IoError(7).what()), IoError(7).systemError()), std::tuple("I/O error 7", 0));
}

// A scratch folder with a game image in it that nobody may write to.
class Files : public ::testing::Test {
protected:
    TempDir dir;
    a_byte game = RomBuilder(0x1000).Random(9, 0x200).GameHeader().BigEndian(0x18E, 0x0A5F, 2).bytes;

    void SetUp() override
    {
        WriteFile(dir.Path("game.bin"), game);
        ::chmod(dir.Path("game.bin").c_str(), 0444);
    }
    std::string Link(const std::string& name, const std::string& to) const
    {
        EXPECT_EQ(::symlink(to.c_str(), dir.Path(name).c_str()), 0);
        return dir.Path(name);
    }
    std::string FixInto(const std::string& out, const std::string& in = "") const
    {
        return ErrorOf([&] {
            a_byte image;
            FixGems(FixRequest(in.empty() ? dir.Path("game.bin") : in, out, 2, 2, true), {}, image);
        });
    }
    std::string HeaderError(const std::string& path) const
    {
        return ErrorOf([&] {
            iSMD_ info;
            ReadHeader(path, info);
            EXPECT_EQ(info.HeaderCrc, 0x0A5F) << path;
        });
    }
};

TEST_F(Files, WhatIsNotARegularFileIsRefusedOnEitherSideAndKept)
{
    const std::string pipe = dir.Path("pipe.bin"), socket = dir.Path("socket.bin");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    sockaddr_un address{AF_UNIX, {}};
    socket.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    std::vector<std::string> specials = {pipe, socket, Link("to-fifo.bin", "pipe.bin"), Link("loop1.bin", "loop2.bin"),
                                         Link("loop2.bin", "loop1.bin")};
    const auto before = dir.Contents();
    for (const std::string& out : specials)
        EXPECT_EQ(FixInto(out), "The output must be a regular file") << out;
    // A FIFO without a writer would block a plain open; a device would read as
    // an endless or empty image; /proc files report size 0 but have content.
    specials.insert(specials.end(), {"/dev/zero", "/proc/self/status"});
    // The header, Fix GEMS and the checksum repair.
    for (const std::string& in : specials)
        for (const std::string& error :
             {HeaderError(in), FixInto(dir.Path("out.bin"), in), ErrorOf([&] { WriteChecksum(in, 0); })})
            EXPECT_EQ(error, "The input must be a regular file") << in;
    EXPECT_EQ(dir.Contents(), before);
    EXPECT_EQ(std::tuple(fs::symlink_status(pipe).type(), fs::symlink_status(socket).type(),
                         fs::symlink_status(dir.Path("loop1.bin")).type()),
              std::tuple(fs::file_type::fifo, fs::file_type::socket, fs::file_type::symlink));

    fs::create_directory(dir.Path("folder.bin"));
    EXPECT_EQ(HeaderError(dir.Path("folder.bin")) + FixInto(dir.Path("folder.bin")),
              "File access deniedFile access denied");
    EXPECT_EQ(HeaderError(Link("dangling.bin", dir.Path("none"))) + "|" + HeaderError(Link("to-game.bin", "game.bin")),
              "File not found|");
}

// A block that runs past a file's end is an error, also when most of it is
// there to read. One that arrives in pieces, as through a pipe, is gathered
// whole without reading into the next. An EINTR that an earlier interrupted
// call left in errno does not make a read that worked start again.
TEST_F(Files, ABlockIsGatheredFromShortReadsAndOneRunningPastTheEndIsAnError)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(dir.Path("game.bin"));
    a_byte block(game.size() + 1);
    EXPECT_EQ(ErrorOf([&] { file.readBlock(block.data(), block.size()); }), "Read beyond end of file");
    file.seek(0x200);
    errno = EINTR;
    a_byte random(16);
    file.readBlock(random.data(), random.size());
    EXPECT_EQ(random, a_byte(game.begin() + 0x200, game.begin() + 0x210));

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
        EXPECT_EQ(write(ends[1], "0123", 4), 4);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(write(ends[1], "456789abcdef", 12), 12);
        close(ends[1]);
    });
    platform::BinaryFile piped = platform::BinaryFile::adopt(ends[0], "pipe");
    std::string blocks(16, ' ');
    const std::string error = ErrorOf([&] { piped.readBlock(&blocks[0], 8), piped.readBlock(&blocks[8], 8); });
    writer.join();
    EXPECT_EQ(error + blocks, "0123456789abcdef");
}

TEST_F(Files, AnOutputIsWrittenThroughLinksUpToTheNameLimitWithTheUmasksMode)
{
    fs::create_directory(dir.Path("sub"));
    WriteFile(dir.Path("sub/old.bin"), {1, 2, 3});
    ::chmod(dir.Path("sub/old.bin").c_str(), 0604);
    // Relative link texts count from the link's own folder, also along a chain.
    const std::string links[]
        = {Link("sub/to-old.bin", "old.bin"), Link("chain.bin", "sub/to-old.bin"), Link("dangling.bin", "sub/new.bin")};
    const mode_t saved = ::umask(027);
    EXPECT_EQ(FixInto(links[1]) + FixInto(links[2]), "");
    ::umask(saved);
    for (const std::string& link : links)
        EXPECT_EQ(fs::symlink_status(link).type(), fs::file_type::symlink) << link;
    EXPECT_EQ(ReadFile(dir.Path("sub/old.bin")).size(), game.size());
    EXPECT_EQ(ReadFile(dir.Path("sub/new.bin")), ReadFile(dir.Path("sub/old.bin")));
    EXPECT_EQ(fs::status(dir.Path("sub/new.bin")).permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(dir.Path("sub/old.bin")).permissions(), fs::perms(0604)) << "a replaced file keeps its mode";
    EXPECT_EQ(dir.Contents().size(), 4u) << "no temporary file is left";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("sub")), {}), 3);

    // The second run replaces the file: its temporary name must fit as well.
    const std::string longest = dir.Path(std::string(251, 'n') + ".bin");
    EXPECT_EQ(FixInto(longest) + FixInto(longest), "");
    EXPECT_EQ(std::pair(ReadFile(longest).size(), dir.Contents().size()), std::pair(game.size(), std::size_t(5)));
    EXPECT_EQ(FixInto(dir.Path(std::string(256, 'n'))), "Invalid filename");

    // A file whose owner may not write it, though its group may: root may
    // replace it, its owner may not.
    WriteFile(dir.Path("group.bin"), {7});
    ::chmod(dir.Path("group.bin").c_str(), 0464);
    EXPECT_EQ(FixInto(dir.Path("group.bin")), ::geteuid() == 0 ? "" : "File access denied");
}

TEST_F(Files, EndingSignalsRemoveThePendingFileAndStillEndTheProcess)
{
    // The last child ignores SIGINT: it must outlive one, sent first, and
    // then end by SIGTERM. Were it ended by the SIGINT, its status would say so.
    const std::pair<int, bool> children[] = {{SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGTERM, true}};
    for (const auto& [signal, ignoresSigint] : children) {
        const pid_t child = ::fork();
        if (child == 0) {
            // A program started as users start it, whatever the test runner
            // was started with (nohup ignores SIGHUP, a background job SIGINT).
            for (const int ending : {SIGHUP, SIGTERM})
                std::signal(ending, SIG_DFL);
            std::signal(SIGINT, ignoresSigint ? SIG_IGN : SIG_DFL);
            platform::PendingFile one = platform::PendingFile::create(dir.Path("one.bin"));
            platform::PendingFile two = platform::PendingFile::create(dir.Path("two.bin"));
            for (;;)
                ::pause();
        }
        // Ending signals are held until each temporary file is known to the cleanup.
        for (int wait = 0; wait < 5000 && dir.Contents().size() < 3; ++wait)
            ::usleep(1000);
        EXPECT_EQ(dir.Contents().size(), 3u) << "both temporary files exist";
        if (ignoresSigint)
            ::kill(child, SIGINT);
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        // Ended by that signal, and both temporary files gone.
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal && dir.Contents().size() == 1)
            << signal << (ignoresSigint ? " after SIGINT" : "") << " status " << status;
    }
}

// A library or a symbol that is not there fails with its name.
TEST(SharedLibraries, AMissingLibraryOrSymbolIsNamed)
{
    const std::string library = ErrorOf([] { platform::SharedLibrary("libvarnoquil-none.so.0"); });
    const platform::SharedLibrary libc("libc.so.6");
    const std::string symbol = ErrorOf([&libc] { libc.function<void()>("varnoquil_none"); });
    EXPECT_TRUE(library.rfind("Cannot load libvarnoquil-none.so.0: ", 0) == 0
                && symbol.rfind("Cannot load libc.so.6 (varnoquil_none): ", 0) == 0)
        << library + "\n" + symbol;
}

TEST(ImageMemory, MoreThanTheSystemCanGiveIsNotEnoughMemoryAndASizeIsRoundedUpToWholePages)
{
    struct sysinfo info {};
    ASSERT_EQ(::sysinfo(&info), 0);
    const std::uint64_t memory = (std::uint64_t(info.totalram) + info.totalswap) * info.mem_unit;
    a_byte image;
    EXPECT_THROW(image.resize(memory + (std::uint64_t(1) << 30)), NotEnoughMemoryError);
    EXPECT_TRUE(image.empty());
    // A size one byte past a huge page is rounded up: its last byte is there.
    image.assign((std::size_t(2) << 20) + 1, 0x5A);
    EXPECT_EQ(image.back(), 0x5A);
}

// A device's label is the name of the link in the label folder that leads to
// it, "\x20" read as a blank; a partition is removable when its disk's flag
// says so. Both are read here from folders laid out as the system's.
TEST_F(Files, DrivesTakeTheLabelOfTheirLinkAndTheRemovableFlagOfTheirDisk)
{
    fs::create_directories(dir.Path("by-label"));
    for (const auto& [device, label] : {std::pair{"sda1", "BOOT"}, {"sdb1", "My\\x20Games\\x5c2"}, {"sdc1", ".hidden"}})
        WriteFile(dir.Path(device), {}), Link(std::string("by-label/") + label, std::string("../") + device);
    for (const auto& [disk, flag] : {std::pair{"block/sda", '0'}, {"block/sdb", '1'}})
        fs::create_directories(dir.Path(disk)), WriteFile(dir.Path(disk) + "/removable", {std::uint8_t(flag), '\n'});
    std::string seen;
    for (const char* device : {"sda1", "sdb1", "sdc1", "none"})
        seen += platform::posix::volumeLabelIn(dir.Path("by-label"), dir.Path(device)) + "/"
            + std::to_string(platform::posix::isRemovableIn(dir.Path("block"), dir.Path(device))) + ";";
    EXPECT_EQ(seen, "BOOT/0;My Games\\2/1;/0;/0;");
    EXPECT_EQ(platform::posix::volumeLabelIn(dir.Path("none"), dir.Path("sdb1")), "");
}
