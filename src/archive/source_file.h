#pragma once

#include <string>

#include "base/scoped_stdio_file.h"

// Opens a file whose bytes go into the report, for reading in binary mode. Paths longer than the
// classic 260 characters are opened in their long form. Only regular disk files are opened: a
// name that the system takes for a device (COM1, AUX, CON, whatever the extension) or a pipe
// would block the run or feed it endless bytes, so it is refused with one log line. A file that
// does not exist or cannot be opened gives null without a line, as optional files drop out.
// problem, when given, tells why a null came back.
enum class SourceFileProblem { None, Missing, Unreadable, NotADiskFile };
ScopedStdioFile openReportSourceFile(const wchar_t* path, SourceFileProblem* problem = nullptr);

// The form of path that the system opens without the 260-character limit: "\\?\" before the full
// path ("\\?\UNC\" for a share). Shorter paths, and paths already in that form, stay as they are.
std::wstring longPathForm(const std::wstring& path);
