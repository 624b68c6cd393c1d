#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Runs programs the way a user at a console would, with the temporary folder the test chooses.

using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

// The environment entries, in order, of a program started with overrides: the test's own with
// the overridden names (matched without regard to case) taken out, then the overrides.
std::vector<std::wstring> environmentEntries(const EnvironmentOverrides& overrides);

// What runTool changes in the tool's environment, and the entries the tool then has.
EnvironmentOverrides toolTempOverrides(const std::wstring& tempFolder);
std::vector<std::wstring> toolEnvironmentEntries(const std::wstring& tempFolder);

// The folder this test program runs from, ending in a backslash; the tool and the doubles are
// built beside it.
std::wstring testBinaryFolder();

// The identifiers of the running processes that parent started whose file name is name.
std::vector<unsigned long> childProcesses(unsigned long parent, const wchar_t* name);

// A program started by a test, terminated when the owner goes unless it has ended by then.
class StartedProgram {
public:
    StartedProgram() = default;
    StartedProgram(void* process, unsigned long processId);
    ~StartedProgram();
    StartedProgram(StartedProgram&& other) noexcept;
    StartedProgram& operator=(StartedProgram&& other) noexcept;
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool isRunning() const;
    unsigned long processId() const { return processId_; }
    // The exit code once it ended within timeoutMs; nothing otherwise.
    std::optional<unsigned long> wait(unsigned long timeoutMs);
    void terminate();

private:
    void* process_ = nullptr;
    unsigned long processId_ = 0;
};

// Starts "program" args with the test's environment changed by overrides, without waiting. With
// a non-empty outputPath the program's standard output and error go to that file.
StartedProgram startProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, const std::wstring& outputPath = L"");

// Where a started program's standard streams go.
struct ProgramStreams {
    // Standard output, and standard error too unless errorPath is set; empty: the test's own.
    std::wstring outputPath;
    std::wstring errorPath;
    // Without a console and without any handle passed on, as the client starts the tool.
    bool detached = false;
};
StartedProgram startProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, const ProgramStreams& streams);
// The same with the whole command line as given, program name included, written as the caller
// wants it (an unquoted path with blanks, for instance).
StartedProgram startProgramWithCommandLine(const std::wstring& program, const std::wstring& commandLine,
    const EnvironmentOverrides& overrides, const std::wstring& outputPath = L"");
StartedProgram startProgramWithCommandLine(const std::wstring& program, const std::wstring& commandLine,
    const EnvironmentOverrides& overrides, const ProgramStreams& streams);

// Starts "program" args with the test's environment, changed by overrides (a name matched without
// regard to case), waits at most timeoutMs and returns the exit code; nothing when it could not
// start or did not end in time (it is then terminated).
std::optional<unsigned long> runProgram(const std::wstring& program, const std::wstring& args,
    const EnvironmentOverrides& overrides, unsigned long timeoutMs);

// Runs VosselPRT.exe with TMP and TEMP set to tempFolder; see startProgram for outputPath.
// The clean-up deletes the tool's diagnostic log after a run that made its report; runTool keeps
// it for the test to read (DiagnosticLogHold), runToolAsIs lets the clean-up do what it does.
std::optional<unsigned long> runToolAsIs(const std::wstring& args, const std::wstring& tempFolder,
    const std::wstring& outputPath = L"", unsigned long timeoutMs = 120000);
std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    const std::wstring& outputPath = L"", unsigned long timeoutMs = 120000);

// Holds "PRT.txt" in folder open (made empty when missing) while it lives, sharing reading and
// writing but not deletion: the tool appends its lines as always, and its DeleteFileW fails.
class DiagnosticLogHold {
public:
    explicit DiagnosticLogHold(const std::wstring& folder);
    ~DiagnosticLogHold();
    DiagnosticLogHold(const DiagnosticLogHold&) = delete;
    DiagnosticLogHold& operator=(const DiagnosticLogHold&) = delete;

private:
    void* file_;
};
std::optional<unsigned long> runTool(const std::wstring& args, const std::wstring& tempFolder,
    const ProgramStreams& streams, unsigned long timeoutMs = 120000);
