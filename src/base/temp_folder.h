#pragma once

#include <string>

// The user's temporary folder as GetTempPathW gives it (ending in a backslash), read through a
// buffer of bufferChars characters. The tool uses 260 in some places and 512 in others; a folder
// that does not fit, or a failing call, gives empty text.
std::wstring getTempFolder(unsigned bufferChars);
