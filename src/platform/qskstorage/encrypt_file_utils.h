#pragma once

#include <string>

#include "platform/qskstorage/api.h"
#include "platform/qskstorage/secure_string.h"

namespace qsk::storage {

struct FileCategoryType {
    enum FileCategory { General = 0, Settings = 1, Diagnostics = 2 };
};

class QSKSTORAGE_API EncryptFileUtils {
public:
    // Reads a file the client protected for the current user (path in UTF-8) into out, protected
    // in memory. False when the file is missing or cannot be unprotected.
    static bool readDataFromFile(const std::string& path, qsk::SecureString& out,
        FileCategoryType::FileCategory category);

    // Writes bytes to path protected for the current user, as the client stores its files.
    static bool writeDataToFile(const std::string& path, const std::string& bytes,
        FileCategoryType::FileCategory category);
};

} // namespace qsk::storage
