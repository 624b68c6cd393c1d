#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Text as the report holds it, turned into UTF-8 for printing, and paths to and from UTF-8.

// The code points of strictly valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF);
// false for anything else.
bool decodeUtf8(std::string_view text, std::u32string& codePoints);
std::string encodeUtf8(char32_t codePoint);

// The text of an entry: UTF-16 little-endian after its byte-order mark (the tool's comment,
// metadata and GDI files) or without one (the crash trace), UTF-8 (a byte-order mark dropped), or
// else one byte per character as the system-information file is written.
std::string entryText(std::string_view bytes);

// Text from inside a report, safe to print on a terminal or a page: control characters and bytes
// that are not UTF-8 become '?', line ends stay when keepLines.
std::string printable(std::string_view text, bool keepLines = false);

std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8OfPath(const std::filesystem::path& path);
