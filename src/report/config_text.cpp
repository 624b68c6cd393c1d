#include "report/config_text.h"

#include <windows.h>

namespace {

std::wstring fromUtf16(const std::string& bytes, size_t start, bool littleEndian)
{
    std::wstring text;
    text.reserve((bytes.size() - start + 1) / 2);
    size_t i = start;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<wchar_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
    }
    if (i < bytes.size()) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])); // an odd last byte
    }
    return text;
}

std::wstring fromUtf8(const std::string& bytes, size_t start)
{
    const int size = static_cast<int>(bytes.size() - start);
    if (size <= 0) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, size, text.data(), length);
    }
    return text;
}

std::wstring decodeBytes(const std::string& bytes)
{
    const auto startsWith = [&](const char* mark, size_t length) { return bytes.compare(0, length, mark, length) == 0; };
    if (startsWith("\xEF\xBB\xBF", 3)) {
        return fromUtf8(bytes, 3);
    }
    if (startsWith("\xFF\xFE", 2)) {
        return fromUtf16(bytes, 2, true);
    }
    if (startsWith("\xFE\xFF", 2)) {
        return fromUtf16(bytes, 2, false);
    }
    // Text in a byte-per-character encoding holds no zero byte; UTF-16 of Latin text holds many,
    // in the high byte of each character.
    size_t zerosAtEven = 0;
    size_t zerosAtOdd = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            ++(i % 2 == 0 ? zerosAtEven : zerosAtOdd);
        }
    }
    if (zerosAtEven + zerosAtOdd > 0) {
        return fromUtf16(bytes, 0, zerosAtOdd >= zerosAtEven);
    }
    std::wstring text(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        text[i] = static_cast<unsigned char>(bytes[i]);
    }
    return text;
}

} // namespace

std::wstring decodeConfigText(const std::string& bytes)
{
    const std::wstring decoded = decodeBytes(bytes);
    std::wstring text;
    text.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == L'\r' && i + 1 < decoded.size() && decoded[i + 1] == L'\n') {
            continue;
        }
        text += decoded[i];
    }
    return text;
}
