#pragma once

#include <string>

// The command line that starts the dump program "x64\Ravik.exe" in toolFolder (no trailing
// backslash): the quoted program path, the process identifier in decimal and the quoted dump path.
std::wstring buildDumpProgramCommandLine(const std::wstring& toolFolder, unsigned long processId,
    const std::wstring& filePath);
