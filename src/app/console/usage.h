#pragma once

#include <map>
#include <string>

// How to call the tool, for an administrator at a console.

// True when the options ask for the help: "/?", "/h" or "/help", in any case.
bool isHelpRequested(const std::map<std::wstring, std::wstring>& options);
// The same for the process's own command line, read by the option parser's rules.
bool helpRequested();

// The options one line each, then where the report and the diagnostic log go.
std::wstring usageText(const std::wstring& defaultReportPath, const std::wstring& logPath);

// The usage on the standard output, for "/?": the run ends there, before anything is touched.
void printHelp();
// The usage on the standard error stream, when the command line cannot be read.
void printUsage();
