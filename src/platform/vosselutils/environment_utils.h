#pragma once

#include <string>

#include "platform/vosselutils/api.h"

namespace vosselutils {

class VOSSELUTILS_API EnvironmentUtils {
public:
    // The folder of the running program, without a trailing backslash.
    static std::wstring getLocationOfExecutable();
};

} // namespace vosselutils
