#pragma once

#include <cstdio>

#include "base/scoped_generic.h"

struct StdioFileTraits {
    using Type = std::FILE*;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type file) noexcept { std::fclose(file); }
};
using ScopedStdioFile = ScopedGeneric<StdioFileTraits>;
