// The system's loader of shared libraries, as each platform offers it
// (posix/ and windows/load_module.cpp), for load_module.cpp's checks.
#pragma once

#include <string>

namespace vorlen::fleet::module_library {

using Handle = void*;

// Nothing when the library cannot be loaded; Reason() says why.
Handle Open(const std::string& path);

// Nothing when the library lacks the name; Reason() says why.
void* Symbol(Handle library, const char* name);

// False when the loader would not let it go; Reason() says why.
bool Close(Handle library);

// The loader's word on its last failure.
std::string Reason();

}  // namespace vorlen::fleet::module_library
