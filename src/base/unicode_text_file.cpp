#include "base/unicode_text_file.h"

#include <windows.h>

#include "base/scoped_handle.h"

void writeUnicodeTextFile(const std::wstring& path, const std::wstring& text)
{
    if (text.empty()) {
        return;
    }
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return;
    }
    static const unsigned char byteOrderMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.get(), byteOrderMark, sizeof(byteOrderMark), &written, nullptr);
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
}
