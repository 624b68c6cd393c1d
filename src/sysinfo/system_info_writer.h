#pragma once

#include <string>

#include "base/scoped_stdio_file.h"

// Writes the system-information file: the environment, the output of ipconfig, tasklist and
// systeminfo, the monitor line and the device sections, appended in that order. Each writer
// handles its own failures; a failed one leaves its section out and the next one runs.
class CSystemInfoWriter {
public:
    // Deletes the file at path, so that every run starts a new one.
    explicit CSystemInfoWriter(std::wstring path);

    // The six writers below, in order.
    void writeSystemInfo();

    void writeEnvironmentalVars();
    void writeIpConfig();
    void writeTaskList();
    void writeWindowSystemInfo();
    void writeMonitorResolution();
    // The device inventory from WMI; COM must be initialised on the calling thread.
    void writeSystemDevices();

private:
    // The file opened for appending; when it cannot be opened, the line "Unable to open " + path
    // + " to write " + section is logged and the owner is empty.
    ScopedStdioFile openForSection(const wchar_t* section);
    // Runs "cmd /C " + command + " >> " + the quoted path, so the interpreter appends the output.
    void appendCommandOutput(const std::wstring& command);

    std::wstring path_;
};

// The DPI the monitor line shows: the text of the user's "AppliedDPI" as a number, else the
// number that value holds, else 96.
int readAppliedDpi();
