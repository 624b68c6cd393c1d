#pragma once

// Starts the worker that writes the system-information file beside the main thread's work.
void startSystemInfoThread();

// Returns when the system-information worker has ended; does nothing when none was started.
void waitForSystemInfoThread();

#include <string>

// The system-information file the worker writes; empty until it has begun.
std::wstring getSystemInfoFilePath();
