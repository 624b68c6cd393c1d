#pragma once

#include <cstdint>
#include <string>

// The documented name of a Windows exception code ("EXCEPTION_ACCESS_VIOLATION"), or empty for a
// code that has none.
std::string exceptionName(std::uint32_t code);
