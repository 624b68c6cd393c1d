#include "decrypt/output_name.h"

#include <algorithm>

#include "decrypt/text_encoding.h"

namespace {

bool isAnyDigit(char32_t c)
{
    // Windows reserves "COM¹" and the like too: every form of a decimal digit counts.
    return (c >= U'0' && c <= U'9') || c == U'\u00B9' || c == U'\u00B2' || c == U'\u00B3'
        || (c >= U'\u2070' && c <= U'\u2079') || (c >= U'\u2080' && c <= U'\u2089')
        || (c >= U'\uFF10' && c <= U'\uFF19');
}

char32_t upper(char32_t c)
{
    return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c;
}

bool isDeviceName(const std::u32string& name)
{
    // "nul.zip" and "COM1 .txt" open the device as well: only the part before the first dot,
    // without trailing spaces, counts.
    std::u32string base = name.substr(0, name.find(U'.'));
    while (!base.empty() && base.back() == U' ') {
        base.pop_back();
    }
    std::transform(base.begin(), base.end(), base.begin(), upper);
    for (const char32_t* device : {U"CON", U"PRN", U"AUX", U"NUL", U"CONIN$", U"CONOUT$", U"CLOCK$"}) {
        if (base == device) {
            return true;
        }
    }
    return base.size() == 4 && (base.compare(0, 3, U"COM") == 0 || base.compare(0, 3, U"LPT") == 0)
        && isAnyDigit(base[3]);
}

bool endsWithZip(const std::string& name)
{
    if (name.size() < 4) {
        return false;
    }
    std::string end = name.substr(name.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return end == ".zip";
}

} // namespace

bool isPlainFileName(const std::string& name)
{
    std::u32string codePoints;
    if (!decodeUtf8(name, codePoints) || codePoints.empty() || codePoints.back() == U'.' || codePoints.back() == U' ') {
        return false; // also "." and ".."
    }
    for (const char32_t c : codePoints) {
        if (c < 0x20 || c == 0x7F || std::u32string_view(U"<>:\"/\\|?*").find(c) != std::u32string_view::npos) {
            return false;
        }
    }
    return !isDeviceName(codePoints);
}

std::string defaultOutputName(const std::string& reportName)
{
    const std::size_t slash = reportName.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? reportName : reportName.substr(slash + 1);
    if (!isPlainFileName(name)) {
        return {};
    }
    return endsWithZip(name) ? name : name + ".zip";
}

std::string nameWithSuffix(const std::string& name, const std::string& suffix)
{
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}
