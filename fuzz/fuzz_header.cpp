// SPDX-License-Identifier: MIT
// The header reader and the information text on any file content, read
// from a file in memory through the real file layer.

#include "errors.h"
#include "fuzz_check.h"
#include "rom/rom.h"
#include "text.h"

#include <sys/mman.h>
#include <unistd.h>

#include <string>

using namespace varnoquil;

namespace {

// A file in memory that every input is written to.
const std::string& MemoryFile()
{
    static const int fd = ::memfd_create("image", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return path;
}

void Fill(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = std::stoi(path.substr(path.rfind('/') + 1));
    Check(::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "memory file");
}

void CheckShownOnTerminal(const std::string& text)
{
    const std::string shown = ControlBytesAsQuestionMarks(text);
    Check(shown.size() == text.size(), "terminal text keeps its length");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(shown[i]);
        Check(byte >= 0x20 || byte == '\r' || byte == '\n', "no control byte reaches a terminal");
        Check(byte != 0x7F, "no DEL reaches a terminal");
        Check(shown[i] == text[i] || shown[i] == '?', "only control bytes change");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fill(MemoryFile(), data, size);
    iSMD_ info;
    try {
        ReadHeader(MemoryFile(), info);
    } catch (const IoError& e) {
        Check(size < 512 && e.code() == IoCode::ReadBeyondEnd, "only a file shorter than a header fails");
        return 0;
    }
    Check(size >= 512, "a file shorter than a header is read");
    Check(info.HeaderCrc == (data[0x18E] << 8 | data[0x18F]), "stored checksum");
    const a_byte tail(data + 512, data + size);
    const auto sum = checksumRange(tail, 0, static_cast<std::int64_t>(tail.size()) - 1);
    Check(info.FileCrc == static_cast<std::uint16_t>(sum), "computed checksum");
    Check(info.Platform.size() == 16 && info.Memo.size() == 40 && info.Country.size() == 16, "field sizes");

    const std::string text = InformationText(info);
    Check(text.find('\0') == std::string::npos, "the text ends at a zero byte");
    Check(text.rfind("platform: ", 0) == 0, "the text starts with the platform");
    CheckShownOnTerminal(text);
    return 0;
}
