#include "provision/arguments.h"

#include <memory>

#include <windows.h>
#include <shellapi.h>

namespace vorlen::fleet {
namespace {

std::string Utf8(const wchar_t* wide) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

}  // namespace

// The wide command line holds every character the operator typed; should
// Windows refuse to split it, the narrow one is better than none.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> words(
        ::CommandLineToArgvW(::GetCommandLineW(), &count), ::LocalFree);
    if (!words) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8(words.get()[i]));
    }
    return arguments;
}

}  // namespace vorlen::fleet
