#pragma once

#include <string>

// The option values that later stages read from anywhere, set once from the command line.

// The output path at first; the saving stage replaces it with the archive it writes, and the
// clean-up deletes whatever it names at the end of the run.
void setReportFilePath(const std::wstring& path);
std::wstring getReportFilePath();

// The file given with "/attach"; empty when none.
void setAttachFilePath(const std::wstring& path);
std::wstring getAttachFilePath();

// Whether the sibling meeting product's companion process is dumped ("/dntdmp").
void setDntDumpEnabled(bool enabled);
bool isDntDumpEnabled();
