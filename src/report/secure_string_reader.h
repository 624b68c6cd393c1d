#pragma once

#include <vector>

#include "platform/qskstorage/secure_string.h"

// The plain content of a secure string as a zero-terminated byte string; only the terminator
// when the content is empty or cannot be deciphered. The caller wipes it when done.
std::vector<char> readSecureStringContent(const qsk::SecureStringData& data);
