#pragma once

// The report settings that the client writes to "VosselPRT.ini" in the temporary folder. The
// values are process-wide; the reader and the default settings write them, everything else reads.
class CApReportIni {
public:
    CApReportIni() = default;
    virtual ~CApReportIni() = default;

    CApReportIni(const CApReportIni&) = delete;
    CApReportIni& operator=(const CApReportIni&) = delete;

    // Reads everything once at the start of the run. False only when the client's window is
    // missing, which ends the run.
    bool readReportSettings();
};
