#pragma once

#include <string>

// Whether folder, the temporary folder as GetTempPathW gives it (ending in a backslash), can take
// the run's working files and its diagnostic log: it was found at all, and the longest of their
// names still fits behind it within the classic path limit. Without such a folder every one of
// those files would be a bare name, in whatever folder the run was started from.
bool canHoldWorkingFiles(const std::wstring& folder);
