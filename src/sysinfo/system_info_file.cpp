#include "sysinfo/system_info_file.h"

#include <stdio.h>

ScopedStdioFile openSystemInfoFile(const std::wstring& path)
{
    std::FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"a+") != 0) {
        return ScopedStdioFile();
    }
    return ScopedStdioFile(file);
}

void writeSystemInfoText(std::FILE* file, std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        bytes += c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
}
