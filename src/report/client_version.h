#pragma once

#include <optional>
#include <string>

// The five numbers of a program's version resource that make the client version.
struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned revision = 0;
    unsigned long special = 0; // the "SpecialBuild" string as a number
};

// "major.minor.build.special"; "0" without a version resource.
std::wstring getClientVersion();
// "Vossel Version: major.minor.build.revision (Build special)"; "0" without a version resource.
std::wstring getClientVersionBanner();

// The tool's own version, "major.minor.build.revision"; "0" without a version resource.
std::wstring getToolVersion();

// The version numbers of the program file at path; nothing when it has no version resource.
std::optional<VersionNumbers> readVersionNumbers(const std::wstring& path);
std::wstring formatClientVersion(const std::optional<VersionNumbers>& version);
std::wstring formatClientVersionBanner(const std::optional<VersionNumbers>& version);
