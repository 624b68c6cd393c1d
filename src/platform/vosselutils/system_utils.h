#pragma once

#include <string>
#include <vector>

#include "platform/vosselutils/api.h"

namespace vosselutils {

class VOSSELUTILS_API SystemUtils {
public:
    // Identifiers of the running processes whose executable name equals name without regard to
    // case, in the order of the system's process snapshot; empty when none. With
    // currentSessionOnly, processes of other logon sessions (other users, services) are left out.
    static std::vector<unsigned long> getProcessIDByName(const std::wstring& name,
        bool currentSessionOnly);
};

} // namespace vosselutils
