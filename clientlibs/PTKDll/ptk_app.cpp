#include "platform/ptkdll/ptk_app.h"

namespace AT {

CPtkApp* CPtkApp::GetCurrentSession()
{
    // Never destroyed: callers may ask for it until the process ends.
    static CPtkApp* const session = new CPtkApp();
    return session;
}

CPtkApp::~CPtkApp() = default;

std::wstring CPtkApp::LoadResString(HMODULE module, unsigned identifier)
{
    // With a zero length, LoadStringW hands out the read-only text inside the module, which is
    // not terminated; its length comes with it.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, identifier, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) {
        return {};
    }
    return std::wstring(text, static_cast<size_t>(length));
}

} // namespace AT
