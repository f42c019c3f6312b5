// SPDX-License-Identifier: MIT
// The file layer on real files of every kind in a scratch folder: what is
// read, what is refused and with which text, what an output goes through,
// and that nothing is lost or left behind.

#include "errors.h"
#include "fix_gems.h"
#include "platform.h"
#include "rom.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

using namespace varnoquil;
using namespace vtest;
using platform::PendingFile;

namespace {

// The text of the error an action raises; "" when it raises none.
std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

const char* const kNotRegularInput = "The input must be a regular file";
const char* const kNotRegularOutput = "The output must be a regular file";

TEST(IoErrors, SystemErrorsMapToTheProgramsCodesOrStayApart)
{
    const std::tuple<int, const char*, std::vector<int>> mapped[]
        = {{2, "File not found", {ENOENT}},
           {3, "Invalid filename", {ENOTDIR, ENAMETOOLONG, EINVAL}},
           {4, "Too many open files", {EMFILE, ENFILE}},
           {5, "File access denied", {EACCES, EPERM, EROFS, EISDIR}},
           {101, "Disk full", {ENOSPC, EDQUOT}}};
    for (const auto& [code, text, errs] : mapped)
        for (const int err : errs) {
            EXPECT_EQ(IoError::fromErrno(err).code(), code) << err;
            EXPECT_STREQ(IoError::fromErrno(err).what(), text) << err;
            EXPECT_EQ(IoError::fromErrno(err).systemError(), 0) << err;
        }
    // Unmapped errnos whose numbers are also program codes keep their own meaning.
    for (const int err : {EIO, ENETDOWN, ENETUNREACH, ELOOP}) {
        EXPECT_EQ(IoError::fromErrno(err).code(), 0) << err;
        EXPECT_EQ(IoError::fromErrno(err).what(), "I/O error " + std::to_string(err));
        EXPECT_EQ(IoError::fromErrno(err).systemError(), err);
    }
    EXPECT_STREQ(IoError(7).what(), "I/O error 7");
    EXPECT_EQ(IoError(7).systemError(), 0);
}

// A scratch folder with a game image in it and helpers for special files.
class Files : public ::testing::Test {
protected:
    TempDir dir;
    a_byte game = RomBuilder(0x1000).Random(9, 0x200).GameHeader().BigEndian(0x18E, 0x0A5F, 2).bytes;

    void SetUp() override { WriteFile(dir.Path("game.bin"), game); }

    std::string Fifo(const std::string& name) const
    {
        EXPECT_EQ(::mkfifo(dir.Path(name).c_str(), 0666), 0);
        return dir.Path(name);
    }
    std::string Socket(const std::string& name) const
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = dir.Path(name);
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        return path;
    }
    std::string Link(const std::string& name, const std::string& to) const
    {
        EXPECT_EQ(::symlink(to.c_str(), dir.Path(name).c_str()), 0);
        return dir.Path(name);
    }
    static mode_t KindOf(const std::string& path)
    {
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return st.st_mode & S_IFMT;
    }
    std::string FixInto(const std::string& in, const std::string& out) const
    {
        return ErrorOf([&] {
            a_byte image;
            FixGems({in, out, 2, 2, true}, {}, image);
        });
    }
    std::string HeaderError(const std::string& path) const
    {
        return ErrorOf([&] {
            iSMD_ info;
            ReadHeader(path, info);
        });
    }
};

TEST_F(Files, AFileNobodyMayWriteIsReadAndRetuned)
{
    ::chmod(dir.Path("game.bin").c_str(), 0444);
    iSMD_ info;
    ReadHeader(dir.Path("game.bin"), info);
    EXPECT_EQ(info.HeaderCrc, 0x0A5F);
    EXPECT_EQ(FixInto(dir.Path("game.bin"), dir.Path("out.bin")), "");
    EXPECT_EQ(ReadFile(dir.Path("out.bin")).size(), game.size());
}

TEST_F(Files, InputsThatAreNotRegularFilesAreRefusedBeforeAnyRead)
{
    // A FIFO without a writer would block a plain open; a device would read as
    // an endless or empty image; /proc files report size 0 but have content.
    const std::string inputs[] = {Fifo("pipe.bin"),
                                  Socket("socket.bin"),
                                  "/dev/zero",
                                  "/proc/self/status",
                                  Link("loop1.bin", dir.Path("loop2.bin")),
                                  Link("loop2.bin", dir.Path("loop1.bin")),
                                  Link("to-fifo.bin", dir.Path("pipe.bin"))};
    for (const std::string& in : inputs) {
        EXPECT_EQ(HeaderError(in), kNotRegularInput) << in;
        EXPECT_EQ(FixInto(in, dir.Path("out.bin")), kNotRegularInput) << in;
        EXPECT_EQ(ErrorOf([&] { WriteChecksum(in, 0); }), kNotRegularInput) << in;
    }
    EXPECT_EQ(KindOf(dir.Path("pipe.bin")), S_IFIFO);
    EXPECT_EQ(dir.Contents().count("out.bin"), 0u);

    ::mkdir(dir.Path("folder.bin").c_str(), 0777);
    EXPECT_EQ(HeaderError(dir.Path("folder.bin")), "File access denied");
    EXPECT_EQ(HeaderError(Link("dangling.bin", dir.Path("none"))), "File not found");
    iSMD_ info;
    ReadHeader(Link("to-game.bin", "game.bin"), info);
    EXPECT_EQ(info.HeaderCrc, 0x0A5F);
}

TEST_F(Files, OutputsThatAreNotRegularFilesAreRefusedAndKept)
{
    const std::string outputs[] = {Fifo("pipe.bin"), Socket("socket.bin"), Link("to-fifo.bin", "pipe.bin"),
                                   Link("loop1.bin", "loop2.bin"), Link("loop2.bin", "loop1.bin")};
    const auto before = dir.Contents();
    for (const std::string& out : outputs)
        EXPECT_EQ(FixInto(dir.Path("game.bin"), out), kNotRegularOutput) << out;
    EXPECT_EQ(dir.Contents(), before);
    EXPECT_EQ(KindOf(dir.Path("pipe.bin")), S_IFIFO);
    EXPECT_EQ(KindOf(dir.Path("socket.bin")), S_IFSOCK);
    EXPECT_EQ(KindOf(dir.Path("loop1.bin")), S_IFLNK);

    ::mkdir(dir.Path("folder.bin").c_str(), 0777);
    EXPECT_EQ(FixInto(dir.Path("game.bin"), dir.Path("folder.bin")), "File access denied");
}

TEST_F(Files, AnOutputLinkIsWrittenThroughAndStays)
{
    ::mkdir(dir.Path("sub").c_str(), 0777);
    WriteFile(dir.Path("sub/old.bin"), {1, 2, 3});
    // Relative link texts count from the link's own folder, also along a chain.
    const std::string toOld = Link("sub/to-old.bin", "old.bin");
    const std::string chain = Link("chain.bin", "sub/to-old.bin");
    const std::string dangling = Link("dangling.bin", "sub/new.bin");
    EXPECT_EQ(FixInto(dir.Path("game.bin"), chain), "");
    EXPECT_EQ(FixInto(dir.Path("game.bin"), dangling), "");
    for (const std::string& link : {toOld, chain, dangling})
        EXPECT_EQ(KindOf(link), S_IFLNK) << link;
    EXPECT_EQ(ReadFile(dir.Path("sub/old.bin")).size(), game.size());
    EXPECT_EQ(ReadFile(dir.Path("sub/new.bin")), ReadFile(dir.Path("sub/old.bin")));
    EXPECT_EQ(dir.Contents().size(), 4u) << "no temporary file is left";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("sub")), {}), 3);
}

TEST_F(Files, NamesUpToTheLimitOfTheFileSystem)
{
    for (const std::size_t length : {254, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".bin";
        EXPECT_EQ(FixInto(dir.Path("game.bin"), dir.Path(name)), "") << length;
        EXPECT_EQ(ReadFile(dir.Path(name)).size(), game.size());
        // Replacing needs the temporary name to fit as well.
        EXPECT_EQ(FixInto(dir.Path("game.bin"), dir.Path(name)), "") << length;
        ::unlink(dir.Path(name).c_str());
    }
    EXPECT_EQ(dir.Contents().size(), 1u);
    EXPECT_EQ(FixInto(dir.Path("game.bin"), dir.Path(std::string(256, 'n'))), "Invalid filename");
}

TEST_F(Files, ANewOutputHonoursTheUmaskAReplacedOneKeepsItsMode)
{
    const mode_t saved = ::umask(027);
    const std::string created = FixInto(dir.Path("game.bin"), dir.Path("new.bin"));
    ::umask(077);
    WriteFile(dir.Path("old.bin"), {1});
    ::chmod(dir.Path("old.bin").c_str(), 0664);
    const std::string replaced = FixInto(dir.Path("game.bin"), dir.Path("old.bin"));
    ::umask(saved);
    EXPECT_EQ(created + replaced, "");
    EXPECT_EQ(std::filesystem::status(dir.Path("new.bin")).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(std::filesystem::status(dir.Path("old.bin")).permissions(), std::filesystem::perms(0664));
    EXPECT_EQ(ReadFile(dir.Path("old.bin")).size(), game.size());
}

// Runs a child that creates a pending file, has it ignore the signals in
// `ignored`, and then waits; sends it `signal`. Returns its wait status.
int PendingFileChildGets(const TempDir& dir, int signal, std::initializer_list<int> ignored = {})
{
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        for (const int s : ignored)
            std::signal(s, SIG_IGN);
        PendingFile pending = PendingFile::create(dir.Path("out.bin"));
        char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(dir.Contents().size(), 2u) << "the temporary file exists";
    ::kill(child, signal);
    int status = 0;
    if (std::find(ignored.begin(), ignored.end(), signal) != ignored.end()) {
        ::usleep(100000);
        EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "an ignored signal stays ignored";
        ::kill(child, SIGKILL);
    }
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(Files, EndingSignalsRemoveThePendingFileAndStillEndTheProcess)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const int status = PendingFileChildGets(dir, signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(dir.Contents().size(), 1u) << signal;
    }
    PendingFileChildGets(dir, SIGINT, {SIGINT});
}

TEST(ImageMemory, MoreThanTheSystemCanGiveIsNotEnoughMemory)
{
    struct sysinfo info {};
    ASSERT_EQ(::sysinfo(&info), 0);
    const std::uint64_t memory = (std::uint64_t(info.totalram) + info.totalswap) * info.mem_unit;
    a_byte image;
    EXPECT_THROW(image.resize(memory + (std::uint64_t(1) << 30)), NotEnoughMemoryError);
    EXPECT_TRUE(image.empty());
}

} // namespace
