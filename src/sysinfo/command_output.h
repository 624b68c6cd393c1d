#pragma once

#include <string>

#include "base/scoped_handle.h"

// One of the programs whose output describes the machine, run without a command interpreter: its
// standard output is a file handed to it as a handle, so nothing in the file's path (a "%", a
// space) is ever read as part of a command.

// Starts application with commandLine (which begins with the program's own name), without a window,
// its standard output going to outputPath, which is made anew. The running process; an empty one
// when the file cannot be made or the program cannot start, each with one log line.
ScopedKernelHandle startCommandWithOutput(const std::wstring& application, const std::wstring& commandLine,
    const std::wstring& outputPath);
