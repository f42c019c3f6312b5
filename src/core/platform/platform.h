// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Operating-system services the rest of the program leans on. Everything
// platform-specific lives behind this header: one implementation for POSIX
// systems, one for Windows. Paths are UTF-8 on both.
namespace varnoquil::platform {

// What the system opens a file as: a file descriptor, or a Windows handle.
#ifdef _WIN32
using FileHandle = void*;
#else
using FileHandle = int;
#endif

// An untyped binary file addressed in bytes. Every operation is checked as
// soon as it returns and raises IoError on failure.
class BinaryFile {
public:
    // Opens an existing regular file for reading only, so that a file the
    // user may not write can still be read. A folder fails with "File access
    // denied"; anything else that is not a regular file (a FIFO, a device, a
    // socket, a kernel interface file under /proc or /sys) fails with "The
    // input must be a regular file" before any byte is read.
    static BinaryFile openForReading(const std::string& path);
    // Opens an existing regular file for reading and writing, to change it in
    // place. Refuses what openForReading refuses; a file that nobody may
    // write fails with "File access denied", even for root.
    static BinaryFile openExisting(const std::string& path);
    // Takes charge of an open file, which it closes; its errors are about
    // path.
    static BinaryFile adopt(FileHandle fd, std::string path = {});

    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    ~BinaryFile();

    void seek(std::uint64_t offset);
    // Reads exactly n bytes at the position; fewer is "Read beyond end of file".
    void readBlock(void* buffer, std::size_t n);
    // Reads up to n bytes; returns how many were read (0 at the end).
    std::size_t readSome(void* buffer, std::size_t n);
    // Writes n bytes at an absolute offset in one operation.
    void writeAt(std::uint64_t offset, const void* buffer, std::size_t n);
    std::uint64_t size() const;
    // The file's size and the time its content last changed: a write to the
    // file changes the stamp.
    struct Stamp {
        std::uint64_t size;
        std::int64_t modifiedNs;
        bool operator==(const Stamp& other) const { return size == other.size && modifiedNs == other.modifiedNs; }
        bool operator!=(const Stamp& other) const { return !(*this == other); }
    };
    Stamp stamp() const;
    // Flushes the file's data to the storage device.
    void sync();
    void close();
    // The path every error of this file is about.
    const std::string& path() const { return path_; }

private:
    friend class PendingFile;
    BinaryFile(FileHandle fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    FileHandle fd_;
    std::string path_;
};

// What tells one file from another, whatever path leads to it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};
// The identity of the file a path leads to; none when it cannot be looked at.
std::optional<FileIdentity> identityOf(const std::string& path);

// True when path names the same file as other (both must exist).
bool sameFile(const std::string& path, const std::string& other);

// A file written in full before it takes its name, so that a failure never
// leaves a truncated target behind nor destroys the file it replaces. The
// bytes go to a temporary file in the target's folder; commit() gives it the
// target's name. A pending file that is never committed is removed, also when
// the process is ended by SIGHUP, SIGINT, SIGPIPE, SIGTERM or SIGXFSZ while
// those have their default action (SIGKILL cannot be caught).
class PendingFile {
public:
    // Checks that the target may be written and creates the temporary file.
    // A symbolic link is followed to the file it names, which is written in
    // its place (a dangling link creates its target). A target that exists
    // and is not a regular file, or a loop of links, fails with "The output
    // must be a regular file"; a folder or a file nobody may write fails with
    // "File access denied". A new file gets the mode a plain create gives it
    // (0666 less the umask); a replaced file keeps its mode.
    static PendingFile create(const std::string& target);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // The content is built in place: a file's first bytes copied, some of
    // them overwritten, then commit().
    //
    // Copies the first length bytes of source into the temporary file, piece
    // by piece, calling copied(n) after each. The kernel copies the data (or
    // shares it, on file systems that can), with no trip through this
    // process; where it cannot, the bytes are read and written.
    void copyFrom(BinaryFile& source, std::uint64_t length, const std::function<void(std::uint64_t)>& copied);
    // Writes n bytes at an offset of the temporary file.
    void writeAt(std::uint64_t offset, const void* data, std::size_t n);
    // Puts the temporary file, as it has been written, in the target's place.
    void commit();

private:
    PendingFile(std::string target, std::string tempName, BinaryFile temp, bool replacing, unsigned mode, int slot);

    std::string target_;
    std::string tempName_;
    BinaryFile temp_;
    bool replacing_;
    unsigned mode_; // of the file replaced: its mode on POSIX, its attributes on Windows
    int slot_; // where the signal handler finds the temporary name, or -1
};

// --- the process ---------------------------------------------------------

// Makes sure the descriptors of standard input, output and error are open,
// opening /dev/null on any that is closed. A program started with one of
// them closed would otherwise give its number to the next file it opens and
// write its own messages into that file. On Windows the streams are also
// made binary, so that "\n" is written as it is and not as CR LF, and a
// console shows what is written to it as UTF-8. Called first thing by every
// program.
void ensureStandardStreams();

// The program's arguments as UTF-8: on Windows read again from the UTF-16
// command line, as argv holds them in the ANSI code page.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// --- memory --------------------------------------------------------------

// Memory for whole ROM images. Large blocks come straight from the system in
// huge pages, mapped in one go: on virtual machines faulting in a 32 MiB
// image 4 KiB at a time costs more than reading it; smaller blocks come from
// the heap, not cleared. Memory the system cannot give raises "Not enough
// memory", wherever an image is sized.
void* allocateImageMemory(std::size_t bytes);
void freeImageMemory(void* memory, std::size_t bytes);

// --- text ----------------------------------------------------------------

// Windows' Shift_JIS (code page 932): the form Japanese headers were written
// in, which also keeps the backslash and the tilde as they are in ASCII. None
// when the bytes are not Shift_JIS.
std::optional<std::string> shiftJisToUtf8(const std::string& bytes);

// --- shared libraries ----------------------------------------------------

// A shared library loaded while the program runs, when a command first needs
// it, and kept for the rest of the run: linked in, libcrypto alone made every
// start of the command-line tool take twice as long, for all the commands
// that never hash a byte. A library or a function that cannot be found
// raises FileError("Cannot load NAME: REASON").
class SharedLibrary {
public:
    explicit SharedLibrary(const std::string& name);
    // The function of that name, as a pointer of the type given.
    template <typename Function>
    Function* function(const char* name) const
    {
        Function* found = nullptr;
        void* address = symbol(name);
        static_assert(sizeof found == sizeof address, "function and object pointers have one size");
        std::memcpy(&found, &address, sizeof found);
        return found;
    }

private:
    void* symbol(const char* name) const;
    std::string name_;
    void* handle_;
};

// --- folders -------------------------------------------------------------

// The separator paths are joined with: "/", or "\\" on Windows, where "/"
// separates folders too.
char separator();
bool isSeparator(char c);
// What separates the paths of a list in an environment variable: ":", or
// ";" on Windows, where ":" follows drive letters.
char pathListSeparator();
// The path from its root, for a path relative to the current folder (on
// Windows also to the current drive: "C:roms", "\\roms").
std::string absolutePath(const std::string& path);
// True when two names name one entry of a folder: byte for byte on POSIX,
// ignoring case on Windows, as their file systems compare them.
bool sameName(const std::string& a, const std::string& b);
// The last name of a path: "roms" for "/games/roms".
std::string lastComponent(const std::string& path);
// The folder part of a path: "." when it has none, "/" for a name at the root.
std::string folderOf(const std::string& path);
std::string currentDir();
// Changes the current folder; raises IoError on failure.
void changeDir(const std::string& path);
std::string executablePath();

struct Attributes {
    bool directory = false;
};
// The attributes of a path. A query that fails reports the path as a folder;
// a symbolic link that leads nowhere is a file.
Attributes attributesOf(const std::string& path);

// True when path is an existing folder (or a link to one).
bool isDirectory(const std::string& path);
// True when path itself is a symbolic link, whatever it points to.
bool isSymbolicLink(const std::string& path);
// True when path leads to the root of the file system.
bool isFileSystemRoot(const std::string& path);

struct DirEntry {
    std::string name;
    // A folder, a link to one, or an entry that cannot be looked at.
    bool directory = false;
    // Why the entry cannot be looked at ("File access denied"); empty when
    // it could be.
    std::string problem;
    // A name that begins with "." on POSIX; the hidden or system attribute
    // on Windows.
    bool hidden = false;
};
// The entries of a folder in the order the system gives them, without "."
// and "..". Raises IoError when the folder cannot be read.
std::vector<DirEntry> listDirectory(const std::string& path);

// Raises IoError unless the folder can be opened for listing.
void requireListable(const std::string& folder);

// Deletes a file; returns false on failure.
bool deleteFile(const std::string& path);

// --- drives --------------------------------------------------------------

// A place the user can browse from: on POSIX a mounted file system.
struct Drive {
    std::string root; // where listing starts ("/", "/media/usb")
    std::string text; // a volume label, or a kind: "Fixed", "Removable", "Remote", "CDROM", "RAM"
};
// The browsable drives, the file-system root first, then by mount point.
std::vector<Drive> listDrives();

} // namespace varnoquil::platform
