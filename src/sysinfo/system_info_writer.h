#pragma once

#include <string>
#include <vector>

#include "base/scoped_stdio_file.h"

// A program whose output is a section of the file: the log line that names its writer, the
// program's path and its command line, and the file beside the system-information file that
// receives its output until it is appended.
struct SystemInfoCommand {
    std::wstring logLine;
    std::wstring application;
    std::wstring commandLine;
    std::wstring outputName;
};

// ipconfig.exe /all, tasklist.exe and systeminfo.exe from the system folder, in that order.
std::vector<SystemInfoCommand> systemInfoCommands();

// The files that the commands write beside the system-information file at systemInfoPath, in the
// commands' order: working files, which the clean-up deletes.
std::vector<std::wstring> commandOutputPaths(const std::wstring& systemInfoPath);

// Writes the system-information file: the environment, the output of ipconfig, tasklist and
// systeminfo, the monitor line and the device sections, appended in that order. Each writer
// handles its own failures; a failed one leaves its section out and the next one runs.
class CSystemInfoWriter {
public:
    // Deletes the file at path, so that every run starts a new one.
    explicit CSystemInfoWriter(std::wstring path);

    // The six writers below, in order; the three programs run side by side.
    void writeSystemInfo();

    void writeEnvironmentalVars();
    // ipconfig, tasklist and systeminfo (the writers writeIpConfig, writeTaskList and
    // writeWindowSystemInfo) started at once, each into its own file, and each waited for at most
    // three minutes; once all have ended, their outputs are appended in the commands' order, so
    // the file's sections keep their order whichever program ends first.
    void writeCommandOutputs(const std::vector<SystemInfoCommand>& commands);
    void writeMonitorResolution();
    // The device inventory from WMI; COM must be initialised on the calling thread.
    void writeSystemDevices();

private:
    // The file opened for appending; when it cannot be opened, the line "Unable to open " + path
    // + " to write " + section is logged and the owner is empty.
    ScopedStdioFile openForSection(const wchar_t* section);

    std::wstring path_;
};

// The DPI the monitor line shows: the text of the user's "AppliedDPI" as a number, else the
// number that value holds, else 96.
int readAppliedDpi();
