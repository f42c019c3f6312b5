// SPDX-License-Identifier: MIT
// Shared libraries (DLLs) on Windows, loaded when first needed.
#include "platform/platform.h"

#include "platform/win32_common.h"

namespace varnoquil::platform {

using namespace win32;

namespace {

[[noreturn]] void raiseLoadFailure(const std::string& name)
{
    throw FileError("Cannot load " + name + ": " + errorFor(::GetLastError()).what());
}

} // namespace

SharedLibrary::SharedLibrary(const std::string& name)
    : name_(name), handle_(::LoadLibraryExW(wideText(name).c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
{
    if (!handle_)
        raiseLoadFailure(name_);
}

void* SharedLibrary::symbol(const char* name) const
{
    const FARPROC address = ::GetProcAddress(static_cast<HMODULE>(handle_), name);
    if (!address)
        raiseLoadFailure(name_ + " (" + name + ")");
    void* pointer = nullptr;
    static_assert(sizeof pointer == sizeof address, "function and object pointers have one size");
    std::memcpy(&pointer, &address, sizeof pointer);
    return pointer;
}

} // namespace varnoquil::platform
