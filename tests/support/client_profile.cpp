#include "support/client_profile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/lumocoreutils/text.h"
#include "platform/qskstorage/encrypt_file_utils.h"
#include "platform/vosselutils/file_utils.h"
#include "support/test_files.h"

namespace {

std::wstring clientRoot(const std::string& userFolder)
{
    return LumoCoreUtils::toWideString(userFolder) + L"Ormel";
}

} // namespace

ScopedClientProfile::ScopedClientProfile()
    : localBase_(LumoCoreUtils::toWideString(vosselutils::FileUtils::getLocalAppBaseDirectory()))
    , configFolder_(LumoCoreUtils::toWideString(vosselutils::FileUtils::getConfigDirectory()))
{
    removeClientFolders();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(localBase_), ignored);
}

ScopedClientProfile::~ScopedClientProfile()
{
    removeClientFolders();
}

void ScopedClientProfile::removeClientFolders()
{
    removeFolderTree(clientRoot(vosselutils::FileUtils::getUserLocalAppDir()));
    removeFolderTree(clientRoot(vosselutils::FileUtils::getUserRoamingDir()));
}

void ScopedClientProfile::put(const std::wstring& path, const std::string& bytes)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    if (!writeFileBytes(path, bytes)) {
        std::fputs("client profile: cannot write a file\n", stderr);
        std::abort();
    }
}

void ScopedClientProfile::putStackTrace(const std::string& trace) const
{
    if (!qsk::storage::EncryptFileUtils::writeDataToFile(LumoCoreUtils::toString(localBase_ + L"RawStackTrace.dat"),
            trace, qsk::storage::FileCategoryType::Diagnostics)) {
        std::fputs("client profile: cannot store the stack trace\n", stderr);
        std::abort();
    }
}
