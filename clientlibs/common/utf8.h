#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 for the stand-in libraries, whose narrow text is UTF-8 throughout.
namespace clientlibs {

std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

} // namespace clientlibs
