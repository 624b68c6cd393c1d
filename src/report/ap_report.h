#pragma once

#include <string>

// The working state that the report stages share, and the stages that fill and save the archive.
// The stages live with their subsystems: collection and identity in report/, saving in crypto/.
class CApReport {
public:
    CApReport() = default;
    virtual ~CApReport() = default;

    CApReport(const CApReport&) = delete;
    CApReport& operator=(const CApReport&) = delete;

    // Fills the report archive in its fixed order: 0, or 61001 when the archive cannot begin.
    int collectReport();

    void writeUserComment(const std::wstring& text);
    void setProblemArea(const std::wstring& text);

    // Writes the finished archive to the temporary folder, encrypted when the settings ask for it.
    void saveReport();
    void moveReportToOutput(const std::wstring& outputPath);
};
