#pragma once

#include <string>
#include <vector>

#include "platform/vosselutils/api.h"

namespace vosselutils {

class VOSSELUTILS_API FileUtils {
public:
    // True when path (UTF-8) names an existing file; a folder is not a file.
    static bool fileExists(const std::string& path);

    // The last component of path: the text after its last "\" or "/".
    static std::wstring getFileName(const std::wstring& path);

    // Appends to files the full path of every file below folder ("C:\x", "C:\x\" or "C:\x\*"),
    // sub-folders included, depth first: each folder's entries in the order the system returns
    // them, a sub-folder's files where the sub-folder stands. A non-empty filter keeps only files
    // whose extension (without the dot) equals it without regard to case.
    static void getFilesFromDirectory(const std::wstring& folder, const std::wstring& filter,
        std::vector<std::wstring>& files);

    // Moves from to to, replacing an existing file and copying across volumes when needed.
    // 0 on success, otherwise the Windows error code.
    static unsigned long wrenameFile(const std::wstring& from, const std::wstring& to);

    // The client's folders as UTF-8 paths. The first three end in a backslash.
    static std::string getUserLocalAppDir();
    static std::string getUserRoamingDir();
    static std::string getLocalAppBaseDirectory(); // local + "Ormel\Merovan\Vossel\QSK\"
    static std::string getConfigDirectory();       // roaming + "Ormel\Merovan\Vossel\QSK\Config"
};

} // namespace vosselutils
