#pragma once

#include <string>

// The file name the plain report gets when support staff name no output: the last component of
// the name the report gives itself (NAME of NAME.enc). The encrypted report's entry names are not
// covered by its tag and anyone with the public certificate can make one, so the name is treated
// as hostile. Empty when that component cannot safely name a file in the chosen folder: empty,
// "." or "..", a colon (drive or stream), a character that Windows does not allow in file names,
// a trailing dot or space (which Windows drops, naming another file), or a device name.
std::wstring defaultOutputName(const std::wstring& reportName);

// The name with suffix put before its extension: "a.zip" + "-decrypted" gives "a-decrypted.zip".
std::wstring nameWithSuffix(const std::wstring& name, const std::wstring& suffix);
