#pragma once

#include <string>

#include "report/report_contents.h"

// The preview as a person reads it: one line per entry, in the report's order, with its size,
// treatment and source, then what would be left out and why.
std::wstring previewListing(const ReportContents& contents, const std::wstring& outputPath);
