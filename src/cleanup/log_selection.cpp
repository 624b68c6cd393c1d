#include "cleanup/log_selection.h"

bool isClientLogName(const std::wstring& name)
{
    return name.find(L"vossel.log") != std::wstring::npos;
}

bool isEngineLogName(const std::wstring& name)
{
    return name.find(L"clientSideLogs") != std::wstring::npos || name.find(L".log") != std::wstring::npos;
}

std::vector<std::wstring> engineLogFolders(const std::map<std::wstring, std::wstring>& furtherPaths)
{
    std::vector<std::wstring> folders;
    for (const auto& [name, path] : furtherPaths) {
        const std::wstring base = path + L"\\";
        if (base.find(L"Virtualisation") == std::wstring::npos) {
            continue;
        }
        folders.push_back(base);
        folders.push_back(base + L"Skerrit\\");
        folders.push_back(base + L"VirtualChannel\\");
    }
    return folders;
}
