#pragma once

#include <string>

#include "settings/ap_report_ini.h"

// Settings made up from the running client and the user's standard folders, for a run that found
// no settings file (typically one started from a command line).
class CApReportIniDefault : public CApReportIni {
public:
    CApReportIniDefault();
    ~CApReportIniDefault() override = default;

    // False, changing nothing, when no client process runs.
    bool generateDefaultSettings();

private:
    std::wstring localFolder_;
    std::wstring roamingFolder_;
    std::wstring tempFolder_;
};
