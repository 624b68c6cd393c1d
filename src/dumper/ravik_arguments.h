#pragma once

#include <optional>
#include <string>

// What Ravik.exe is asked to do: "Ravik.exe PROCESS_ID DUMP_FILE", the identifier in decimal.
struct RavikArguments {
    unsigned long processId = 0;
    std::wstring dumpFilePath;
};

// Nothing when the arguments are not exactly an identifier (decimal digits only, not 0, within
// 32 bits) and a non-empty path. argv[0] is the program.
std::optional<RavikArguments> parseRavikArguments(int argc, const wchar_t* const* argv);
