#include "installer/installer_logs.h"

#include <windows.h>

#include "base/temp_folder.h"

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
    return {};
}
