#include "platform/corvane/services.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <typeinfo>

#include "common/utf8.h"
#include "platform/vosselutils/file_utils.h"

// The running client publishes what its services hold as files in its services folder, the
// local application base folder + "Services\": "ConfigService.xml" and "ContactService.xml",
// UTF-8. No folder, no framework; no file, no service.
namespace QSKUnified {

namespace {

std::optional<std::wstring> readUtf8File(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
    }
    return clientlibs::utf8ToWide(bytes);
}

} // namespace

UnifiedService::~UnifiedService() = default;

ConfigService::ConfigService(std::wstring exportText) : exportText_(std::move(exportText)) {}

std::wstring ConfigService::exportAllConfigs()
{
    return exportText_;
}

ContactService::ContactService(std::wstring exportText) : exportText_(std::move(exportText)) {}

std::wstring ContactService::exportContactCache()
{
    return exportText_;
}

ServiceFactory::ServiceFactory(std::wstring servicesFolder) : servicesFolder_(std::move(servicesFolder)) {}

ServiceFactory::~ServiceFactory() = default;

std::shared_ptr<UnifiedService> ServiceFactory::getService(const std::string& className)
{
    if (className == typeid(ConfigService).name()) {
        if (auto text = readUtf8File(servicesFolder_ + L"ConfigService.xml")) {
            return std::make_shared<ConfigService>(std::move(*text));
        }
    } else if (className == typeid(ContactService).name()) {
        if (auto text = readUtf8File(servicesFolder_ + L"ContactService.xml")) {
            return std::make_shared<ContactService>(std::move(*text));
        }
    }
    return nullptr;
}

std::shared_ptr<ServiceFactory> ServiceFactory::getInstance()
{
    const std::wstring folder =
        clientlibs::utf8ToWide(vosselutils::FileUtils::getLocalAppBaseDirectory()) + L"Services\\";
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return nullptr;
    }
    return std::shared_ptr<ServiceFactory>(new ServiceFactory(folder));
}

} // namespace QSKUnified
