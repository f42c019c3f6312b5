#include "rom_builder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>

namespace vtest {

void WriteFile(const std::string& path, const a_byte& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

a_byte ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return a_byte(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDir::TempDir() : root((std::filesystem::temp_directory_path() / "varnoquil-test-XXXXXX").string())
{
    if (!::mkdtemp(root.data()))
        throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::map<std::string, a_byte> TempDir::Contents() const
{
    std::map<std::string, a_byte> entries;
    for (const auto& entry : std::filesystem::directory_iterator(root))
        entries[entry.path().filename().string()] = entry.is_regular_file() ? ReadFile(entry.path().string()) : a_byte {};
    return entries;
}

} // namespace vtest
