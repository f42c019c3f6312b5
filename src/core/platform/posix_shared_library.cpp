// SPDX-License-Identifier: MIT
// Shared libraries loaded when first needed.
#include "platform/platform.h"

#include "errors.h"

#include <dlfcn.h>

namespace varnoquil::platform {

namespace {

[[noreturn]] void raiseLoadFailure(const std::string& name)
{
    const char* reason = ::dlerror();
    throw FileError("Cannot load " + name + ": " + (reason ? reason : "unknown error"));
}

} // namespace

SharedLibrary::SharedLibrary(const std::string& name) : name_(name), handle_(::dlopen(name.c_str(), RTLD_NOW))
{
    if (!handle_)
        raiseLoadFailure(name_);
}

void* SharedLibrary::symbol(const char* name) const
{
    void* address = ::dlsym(handle_, name);
    if (!address)
        raiseLoadFailure(name_ + " (" + name + ")");
    return address;
}

} // namespace varnoquil::platform
