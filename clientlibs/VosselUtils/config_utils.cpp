#include "platform/vosselutils/config_utils.h"

namespace vosselutils {

std::wstring ConfigUtils::DontLog::AD_Password_Key()
{
    return L"password";
}

std::wstring ConfigUtils::DontLog::Hidden_Password()
{
    return L"********";
}

} // namespace vosselutils
