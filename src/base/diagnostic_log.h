#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The tool's diagnostic log "PRT.txt" in the temporary folder. Both threads append whole lines;
// every line is on disk when writeLogLine returns. Callers compose a message in a wide string
// stream and hand over its text, without a line end.

// Appends "[" timestamp "] " message CR LF. Never fails towards the caller and never throws.
void writeLogLine(std::wstring_view message);

// Temporary folder + "PRT.txt", computed on first use and kept for the rest of the process; empty,
// and every line dropped, when there is no temporary folder.
const std::wstring& getLogFilePath();

// "2024-03-07 09:05:02,042" for the current local time.
std::wstring formatLogTimestamp();
std::wstring formatLogTimestamp(const SYSTEMTIME& time);

// The bytes of one line without its line end: one byte per character; a character above U+00FF,
// which has no byte of its own, is written as "?", and a CR or LF inside the message as a space,
// so that one message is always one line.
std::string encodeLogLine(std::wstring_view timestamp, std::wstring_view message);

// Turns the diagnostic log off for the rest of the process: a run that only looks (the preview)
// leaves no line behind. Off, writeLogLine does nothing.
void disableDiagnosticLog();

// writeLogLine against a chosen file; the same unit of open, write, flush and close.
void appendLogLine(const std::wstring& path, std::wstring_view message);
