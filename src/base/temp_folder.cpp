#include "base/temp_folder.h"

#include <windows.h>

#include <vector>

std::wstring getTempFolder(unsigned bufferChars)
{
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    const DWORD length = GetTempPathW(bufferChars, buffer.data());
    // A result of bufferChars or more is the size that would have been needed: nothing was copied.
    if (length == 0 || length >= bufferChars) {
        return {};
    }
    return std::wstring(buffer.data(), length);
}
