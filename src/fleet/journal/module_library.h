// The system's loader of shared libraries, as each platform offers it
// (posix/ and windows/load_module.cpp), for load_module.cpp's checks; and
// what the build fixed about the module.
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

// Fixed by the build (src/fleet/CMakeLists.txt), in an object of their own.
namespace vorlen::fleet::journal_module {
extern const char* const kRelease;    // the release the module must be of
extern const char* const kBuildTree;  // a program under it is one of the build's
extern const char* const kBuilt;      // the module in the build tree
extern const char* const kInstalled;  // the module as installed
}  // namespace vorlen::fleet::journal_module
