#include "installer/installer_logs.h"

#include <windows.h>

#include <memory>

#include "base/temp_folder.h"
#include "installer/installer_logs_lib.h"

std::wstring getInstallerLogPath()
{
    static std::wstring path;
    if (path.empty()) {
        path = getTempFolder(MAX_PATH) + L"OrmelVosselInstaller.LOG";
    }
    return path;
}

std::wstring findInstallerMsiLog()
{
    // Only a search that found a log is kept; one that found none runs again at the next call.
    static std::wstring path;
    if (!path.empty()) {
        return path;
    }
    const std::wstring folder = getTempFolder(MAX_PATH);
    if (folder.empty()) {
        return {};
    }
    auto library = std::make_shared<InstallerLogsLib>();
    std::vector<std::wstring> files = library->getFilesInFolder(folder);
    path = library->findProductMsiLog(files);
    return path;
}
