#pragma once

#include <optional>
#include <string>
#include <vector>

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> readFileBytes(const std::wstring& path);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);
bool fileExists(const std::wstring& path);

// Whether the file is gone, or goes within timeoutMs. A file deleted while another process still
// holds it stays until that process lets go: a console host under Wine does so a moment after its
// program has ended.
bool fileGoneWithin(const std::wstring& path, unsigned long timeoutMs);

// Deletes the folder with everything in it, as far as it can, and never waits: a file that another
// process still holds open stays behind with its folders. A link to a folder is removed, never
// followed. (The standard library's remove_all goes round for ever under Wine when a file's
// deletion is pending.)
void removeFolderTree(const std::wstring& folder);

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
