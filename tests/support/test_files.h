#pragma once

#include <optional>
#include <string>
#include <vector>

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> readFileBytes(const std::wstring& path);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);
bool fileExists(const std::wstring& path);

// The messages of a diagnostic log, in order: each line's "[timestamp] " and CR LF taken off.
// A line that does not have the log's shape is kept whole, so a test sees it and fails.
std::vector<std::string> readLogMessages(const std::wstring& path);

// True when line is "[" + a timestamp shaped "YYYY-MM-DD hh:mm:ss,mmm" + "] " + message.
bool hasLogLineShape(const std::string& line);

// The UTF-16 little-endian bytes of ASCII text, without byte-order mark: how the tool writes text
// it generates into the archive.
std::string utf16Bytes(const std::string& ascii);

// The text of a path made of ASCII characters, as the tool writes it into its log lines.
std::string asciiText(const std::wstring& text);
