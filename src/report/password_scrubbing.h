#pragma once

#include <string>

// Hides every password of a configuration file's text. Files whose path ends in ".properties"
// (exactly, lower case) are scrubbed line by line, continuation lines included; every other file
// as XML elements <...key...>value</...key...>, where an uneven count of the key, or a pair of
// occurrences that is not such an element, hides the whole file behind a message that names path.
// wholeFileHidden, when given, tells whether the message stands for the whole file.
std::wstring hidePasswordsInText(const std::wstring& text, const std::wstring& path, bool* wholeFileHidden = nullptr);

// The file's scrubbed text, read as decodeConfigText reads it. Empty, with a log line, when the
// file cannot be opened.
std::wstring hidePasswordsInFile(const std::wstring& path, bool* wholeFileHidden = nullptr);
