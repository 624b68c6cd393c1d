#pragma once

#include <string>

// Hides every password of a configuration file's text. Files whose path ends in ".properties"
// (exactly, lower case) are scrubbed line by line; every other file as XML elements, where an
// uneven count of the key hides the whole file behind a message that names path.
std::wstring hidePasswordsInText(const std::wstring& text, const std::wstring& path);

// The file's scrubbed text: each byte one character, CR LF read as LF. Empty, with a log line,
// when the file cannot be opened.
std::wstring hidePasswordsInFile(const std::wstring& path);
