#pragma once

#include <string>

// The command line that starts the dump program "x64\Ravik.exe" in toolFolder (no trailing
// backslash): the quoted program path, the process identifier in decimal and the quoted dump path.
std::wstring buildDumpProgramCommandLine(const std::wstring& toolFolder, unsigned long processId,
    const std::wstring& filePath);

// Runs commandLine with its standard output and error going to the diagnostic log, a log line for
// each line it prints, and waits for it: all of this takes at most timeoutMs. A program that hangs with its output
// still open is left running once the time is up, so that it cannot hold the report back.
void runDumpProgram(const std::wstring& commandLine, unsigned long timeoutMs);
