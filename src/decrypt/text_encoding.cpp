#include "decrypt/text_encoding.h"

#include <algorithm>

namespace {

// The length of the UTF-8 sequence at text[at] and its code point, or 0 when it is not valid.
std::size_t decodeOne(std::string_view text, std::size_t at, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    codePoint = value;
    return length;
}

// UTF-16 little-endian without a byte-order mark (the client's crash trace is kept so): most of
// the high bytes of the first characters are zero, and none of the low ones.
bool looksLikeUtf16(std::string_view bytes)
{
    const std::size_t sample = std::min<std::size_t>(bytes.size() / 2, 256);
    std::size_t zeroHigh = 0;
    for (std::size_t i = 0; i < sample; ++i) {
        if (bytes[2 * i] == '\0') {
            return i > 0 && bytes[2 * i + 1] == '\0' && zeroHigh == i; // the text's end
        }
        zeroHigh += bytes[2 * i + 1] == '\0' ? 1 : 0;
    }
    return sample > 0 && zeroHigh * 4 >= sample * 3;
}

} // namespace

bool decodeUtf8(std::string_view text, std::u32string& codePoints)
{
    codePoints.clear();
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = decodeOne(text, at, codePoint);
        if (length == 0) {
            return false;
        }
        codePoints += codePoint;
        at += length;
    }
    return true;
}

std::string encodeUtf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string entryText(std::string_view bytes)
{
    std::string out;
    const bool marked = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (marked || looksLikeUtf16(bytes)) {
        for (std::size_t at = marked ? 2 : 0; at + 1 < bytes.size(); at += 2) {
            char32_t unit = static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
            if (unit == 0) {
                break; // a C string's end, as the client stores its crash trace
            }
            if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size()) {
                const char32_t low = static_cast<unsigned char>(bytes[at + 2]) | (static_cast<unsigned char>(bytes[at + 3]) << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    at += 2;
                }
            }
            out += encodeUtf8(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
        }
        return out;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    std::u32string ignored;
    if (decodeUtf8(bytes, ignored)) {
        return std::string(bytes);
    }
    for (const char c : bytes) {
        out += encodeUtf8(static_cast<unsigned char>(c));
    }
    return out;
}

std::string printable(std::string_view text, bool keepLines)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = decodeOne(text, at, codePoint);
        if (length == 0) {
            out += '?';
            ++at;
            continue;
        }
        const bool lineEnd = codePoint == '\n' || codePoint == '\r';
        const bool control = codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint < 0xA0)
            || codePoint == 0x2028 || codePoint == 0x2029 || (codePoint >= 0x202A && codePoint <= 0x202E)
            || (codePoint >= 0x2066 && codePoint <= 0x2069);
        if (codePoint == '\t') {
            out += ' ';
        } else if (lineEnd && keepLines) {
            out += static_cast<char>(codePoint);
        } else if (control) {
            out += '?';
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

std::filesystem::path pathFromUtf8(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8OfPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
