#pragma once

#include <string>

// Starts commandLine without a window and waits for it at most three minutes; a command still
// running then is left to run. 0 when the process was started, -1 (with a log line) when not.
int runCommandLine(const std::wstring& commandLine);
