#pragma once

#include <optional>
#include <string>

// The command line that starts the dump program "x64\Ravik.exe" in toolFolder (no trailing
// backslash): the quoted program path, the process identifier in decimal and the quoted dump path.
std::wstring buildDumpProgramCommandLine(const std::wstring& toolFolder, unsigned long processId,
    const std::wstring& filePath);

// Runs commandLine with its standard output and error going to the diagnostic log, a log line for
// each line it prints, and waits for it: all of this takes at most timeoutMs, whatever and however
// much the program prints. A program that hangs, or prints without end, is left running once the
// time is up, so that it cannot hold the report back. Its exit code when it ended in time; nothing
// when it could not be started or did not end.
std::optional<unsigned long> runDumpProgram(const std::wstring& commandLine, unsigned long timeoutMs);

// Three minutes; for tests, the milliseconds that VOSSEL_PRT_TEST_DUMP_PROGRAM_LIMIT_MS gives.
unsigned long dumpProgramLimitMs();
