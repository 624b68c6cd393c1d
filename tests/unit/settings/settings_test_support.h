#pragma once

#include <windows.h>

#include <string>

#include "settings/ap_report_ini_default.h"

// Gives tests a clean slate of the process-wide settings, as a new process would have.
class SettingsUnderTest : public CApReportIni {
public:
    static void reset() { values() = Values{}; }
};

// Points this process's temporary folder at folder for the life of the object.
class ScopedTempEnvironment {
public:
    explicit ScopedTempEnvironment(const std::wstring& folder)
    {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t old[MAX_PATH] = {};
            GetEnvironmentVariableW(name, old, MAX_PATH);
            saved_[name[1] == L'M' ? 0 : 1] = old;
            SetEnvironmentVariableW(name, folder.c_str());
        }
    }
    ~ScopedTempEnvironment()
    {
        SetEnvironmentVariableW(L"TMP", saved_[0].c_str());
        SetEnvironmentVariableW(L"TEMP", saved_[1].c_str());
    }
    ScopedTempEnvironment(const ScopedTempEnvironment&) = delete;
    ScopedTempEnvironment& operator=(const ScopedTempEnvironment&) = delete;

private:
    std::wstring saved_[2];
};
