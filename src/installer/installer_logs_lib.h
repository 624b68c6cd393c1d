#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The client installer's product code, as its Windows Installer log names it.
inline constexpr wchar_t kInstallerProductCode[] = L"{3C0E7D52-9A41-4B6E-8F20-71D5A6C9B314}";

// The search for the client's Windows Installer log among every product's logs in one folder.
class InstallerLogsLib {
public:
    // folder + name of every entry of folder (which ends with a backslash) that is not a folder,
    // in the order the system lists them; empty when the folder cannot be listed.
    std::vector<std::wstring> getFilesInFolder(const std::wstring& folder);

    // The most recently modified file among files (full paths, reordered newest first) whose name
    // is a Windows Installer log name and whose text names the client's product code; empty when
    // none does.
    std::wstring findProductMsiLog(std::vector<std::wstring>& files);
};

// True when name, as a whole, is "MSI" + at least one character other than "." + ".LOG", in any case.
bool isInstallerMsiLogName(const std::wstring& name);

// The last-modification time of the file in seconds; nothing when its status cannot be read.
std::optional<std::int64_t> fileModificationTime(const std::wstring& path);

// The order newest first: a time that could not be read comes after every time that could.
bool isNewerTime(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b);

// True when a was modified later than b (each file's time read now).
bool isNewerFile(const std::wstring& a, const std::wstring& b);

// The file's bytes taken as UTF-16 little-endian code units, up to the first zero unit. A last
// byte that makes no whole unit is dropped; a file that cannot be read gives empty text.
std::wstring readFileAsWideText(const std::wstring& path);
