#pragma once

#include <map>
#include <string>

// A hexadecimal setting such as ProcessID: "1A" and "0x1A" both give 26; reading stops at the
// first character that is not a hexadecimal digit; empty text gives 0.
unsigned long parseHexSetting(const std::wstring& text);

// Walks a section of "name=path" lines, each ended by a null character, into paths. A line
// without "=" is skipped; a later line with the same name wins; in a line with several "=" the
// name is the text before the first and the path the text after the last.
void parseAdditionalPrtPaths(const std::wstring& section, std::map<std::wstring, std::wstring>& paths);

// Takes the last line off a section that came back cut inside it and returns that line (empty
// when the section ended with a whole line).
std::wstring takeCutLastLine(std::wstring& section);

// Whether a further path names the root of a drive or share (C:, C:\, \, C:\a\.., \\server\share):
// collecting it would copy a whole drive into the report. Empty text is no root; it names nothing
// to collect.
bool isDriveRootPath(const std::wstring& path);
