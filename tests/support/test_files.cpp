#include "support/test_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "base/scoped_find_handle.h"

std::optional<std::string> readFileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileGoneWithin(const std::wstring& path, unsigned long timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (fileExists(path)) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

void removeFolderTree(const std::wstring& folder)
{
    const std::wstring base = !folder.empty() && folder.back() != L'\\' ? folder + L'\\' : folder;
    WIN32_FIND_DATAW found = {};
    ScopedFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = base + name;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveDirectoryW(path.c_str());
        } else {
            removeFolderTree(path);
        }
    }
    search.reset();
    RemoveDirectoryW(base.c_str());
}

bool hasLogLineShape(const std::string& line)
{
    static const std::regex shape(R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2},\d{3}\] [\s\S]*$)");
    return std::regex_match(line, shape);
}

std::vector<std::string> readLogMessages(const std::wstring& path)
{
    std::vector<std::string> messages;
    const auto bytes = readFileBytes(path);
    if (!bytes) {
        return messages;
    }
    constexpr size_t kPrefix = 1 + 23 + 2;
    size_t start = 0;
    while (start < bytes->size()) {
        size_t end = bytes->find("\r\n", start);
        if (end == std::string::npos) {
            end = bytes->size();
        }
        const std::string line = bytes->substr(start, end - start);
        messages.push_back(hasLogLineShape(line) ? line.substr(kPrefix) : line);
        start = end + 2;
    }
    return messages;
}

std::string utf16Bytes(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string asciiText(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}
