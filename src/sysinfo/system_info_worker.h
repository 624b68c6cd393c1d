#pragma once

#include <string>

// The worker that describes the machine in "SystemInfo.txt" beside the main thread's work. The
// settings reader starts it; the report generation, or the end of a run that made no report,
// joins it, and only then is the file read or deleted.

// Starts the worker on a new thread. A worker still held from an earlier start is joined first.
void startSystemInfoThread();

// The worker's body: sets the file path, logs it and writes the file.
void systemInfoThreadProc();

// Returns when the worker has ended and releases it; does nothing, and logs nothing, when none
// was started or it was already joined.
void waitForSystemInfoThread();

// Sets the system-information file path as the worker would, without starting it, and returns it.
// For a run that only looks.
std::wstring planSystemInfoFile();

// The system-information file the worker writes; empty until it has begun.
std::wstring getSystemInfoFilePath();

// The file the worker writes, known before it has begun: the temporary folder + "SystemInfo.txt".
std::wstring plannedSystemInfoFilePath();
