#pragma once

#include <windows.h>

#include <string>

// The localised text of the string resource identifier in module, as the client library's
// application object gives it, formatted with the arguments that follow (vswprintf rules). The
// buffer starts at 512 characters and doubles up to 32767 while the text does not fit; when it
// never fits, the text as far as the last attempt wrote it.
std::wstring formatResourceString(HMODULE module, unsigned identifier, ...);
