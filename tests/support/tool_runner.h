#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Runs programs the way a user at a console would, with the temporary folder the test chooses.

using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

// The folder this test program runs from, ending in a backslash; the tool and the doubles are
// built beside it.
std::wstring testBinaryFolder();

// Starts "program" args with the test's environment, changed by overrides (a name matched without
// regard to case), waits at most timeoutMs and returns the exit code; nothing when it could not
// start or did not end in time (it is then terminated).
std::optional<unsigned long> runProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, unsigned long timeoutMs);

// Runs VosselPRT.exe with TMP and TEMP set to tempFolder.
std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    unsigned long timeoutMs = 120000);
