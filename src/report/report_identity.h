#pragma once

#include <windows.h>

#include <string>

// The archive file name: "Vossel-Win-" version "-" YYYYMMDD_hhmmss "-" product name ".zip", with
// every space made "_".
std::wstring composeArchiveFileName(const std::wstring& clientVersion, const SYSTEMTIME& localTime,
    const std::wstring& windowsProductName);

// The text between the first "<tag>" of text and the first "</tag>" after it; empty when either
// is missing.
std::wstring findElementValue(const std::wstring& text, const std::wstring& tag);
