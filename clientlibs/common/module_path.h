#pragma once

#include <string>

namespace clientlibs {

// The full path of the running program, however long; empty when the system cannot say.
std::wstring runningProgramPath();

} // namespace clientlibs
