#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "base/stage_timings.h"
#include "report/report_contents.h"

// The report's own account of itself, "manifest.json": every entry with its size, checksums,
// source and treatment, what was left out and why, and how the run went. Support staff (and the
// companion's verify) hold the archive against it; the preview shows the same shape beforehand.

struct ManifestFacts {
    std::wstring toolVersion;
    std::wstring clientVersion;
    std::wstring reportName;
    SYSTEMTIME startedUtc = {};
    SYSTEMTIME endedUtc = {};
    // The options the run was given, without the user's own words (summary, comments, contact),
    // which the comment entry holds.
    std::map<std::wstring, std::wstring> options;
    std::vector<StageTime> stages;
};

constexpr int kManifestFormat = 1;
constexpr wchar_t kManifestEntryName[] = L"manifest.json";

// The options as the manifest lists them: all but "/summary", "/comments" and "/contact".
std::map<std::wstring, std::wstring> manifestOptions(const std::map<std::wstring, std::wstring>& options);

// The manifest as UTF-8 JSON. withHashes false gives the preview's shape: no CRC-32, no SHA-256.
std::string manifestJson(const ReportContents& contents, const ManifestFacts& facts, bool withHashes);

// "2024-01-31T22:59:50Z".
std::string utcTimestamp(const SYSTEMTIME& time);
// "copied", "scrubbed", "whole file hidden" or "generated".
const char* treatmentText(EntryTreatment treatment);
// The file's path, or "generated" or "exported".
std::wstring sourceText(const EntryOrigin& origin);
