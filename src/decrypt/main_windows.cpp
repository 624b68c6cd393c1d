// VosselPRTDecrypt: the support staff's companion for problem reports; see companion_commands.h.
// Windows hands the arguments over as UTF-16; the companion works in UTF-8 everywhere.

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "decrypt/companion_commands.h"

namespace {

std::string utf8(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.pop_back();
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(utf8(argv[i]));
    }
    const int status = runCompanion(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
