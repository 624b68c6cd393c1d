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

void appendFileBytes(const std::wstring& to, const std::wstring& from)
{
    std::FILE* source = nullptr;
    if (_wfopen_s(&source, from.c_str(), L"rb") != 0) {
        return;
    }
    ScopedStdioFile input(source);
    std::FILE* target = nullptr;
    if (_wfopen_s(&target, to.c_str(), L"ab") != 0) {
        return;
    }
    ScopedStdioFile output(target);
    char buffer[65536];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof(buffer), input.get())) > 0;) {
        std::fwrite(buffer, 1, read, output.get());
    }
}
