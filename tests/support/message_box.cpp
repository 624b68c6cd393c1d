#include "support/message_box.h"

#include <string>

namespace {

struct MessageBoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findMessageBoxWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<MessageBoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND findMessageBoxOf(DWORD processId)
{
    MessageBoxSearch search = {processId, nullptr};
    EnumWindows(findMessageBoxWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
