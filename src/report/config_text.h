#pragma once

#include <string>

// The text of a configuration file from its bytes, as the scrubber reads it. UTF-16 (either byte
// order, with or without a byte-order mark; without one, a file that holds a zero byte is taken as
// UTF-16, the byte order being the one whose high bytes are mostly zero) and UTF-8 behind a
// byte-order mark are decoded, the mark dropped; any other file is read byte by byte, each byte
// one character of the same value. CR LF becomes LF; a lone CR stays.
std::wstring decodeConfigText(const std::string& bytes);
