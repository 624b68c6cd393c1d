#pragma once

#include <string>

#include "platform/vosselutils/api.h"

namespace vosselutils {

class VOSSELUTILS_API ConfigUtils {
public:
    // What the client keeps out of its logs and reports.
    class VOSSELUTILS_API DontLog {
    public:
        static std::wstring AD_Password_Key(); // the password key name, never empty
        static std::wstring Hidden_Password(); // what stands in for a password
    };
};

} // namespace vosselutils
