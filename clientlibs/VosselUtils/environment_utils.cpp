#include "platform/vosselutils/environment_utils.h"

#include "common/module_path.h"

namespace vosselutils {

std::wstring EnvironmentUtils::getLocationOfExecutable()
{
    const std::wstring path = clientlibs::runningProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace vosselutils
