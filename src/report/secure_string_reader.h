#pragma once

#include "base/wiped_bytes.h"
#include "platform/qskstorage/secure_string.h"

// The plain content of a secure string as a zero-terminated byte string; only the terminator
// when the content is empty or cannot be deciphered. Every buffer that held the plain content,
// the returned one included, is wiped before it is freed.
WipedBytes readSecureStringContent(const qsk::SecureStringData& data);
