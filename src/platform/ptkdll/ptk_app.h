#pragma once

#include <windows.h>

#include <string>

#include "platform/ptkdll/api.h"

namespace AT {

// The client library's application object: one per process, made on first use and kept until the
// process ends.
class PTKDLL_API CPtkApp {
public:
    static CPtkApp* GetCurrentSession();

    virtual ~CPtkApp();

    // The localised text of the string resource identifier in module; empty when the module has
    // no such string.
    virtual std::wstring LoadResString(HMODULE module, unsigned identifier);

protected:
    CPtkApp() = default;
};

} // namespace AT
