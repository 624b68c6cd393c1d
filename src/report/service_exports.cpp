#include <typeinfo>

#include "base/diagnostic_log.h"
#include "report/ap_report.h"

namespace {

const EntryOrigin kExported{EntrySource::Exported, EntryTreatment::Generated, L""};

template <typename Service>
std::shared_ptr<Service> lookUpService(const std::shared_ptr<QSKUnified::ServiceFactory>& factory)
{
    if (!factory) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<Service>(factory->getService(typeid(Service).name()));
}

} // namespace

std::shared_ptr<QSKUnified::ServiceFactory> CApReport::getServiceFactory()
{
    if (!serviceFactory_) {
        serviceFactory_ = QSKUnified::ServiceFactory::getInstance();
    }
    return serviceFactory_;
}

std::shared_ptr<QSKUnified::ConfigService> CApReport::getConfigService()
{
    if (!configService_) {
        configService_ = lookUpService<QSKUnified::ConfigService>(getServiceFactory());
    }
    return configService_;
}

std::shared_ptr<QSKUnified::ContactService> CApReport::getContactService()
{
    if (!contactService_) {
        contactService_ = lookUpService<QSKUnified::ContactService>(getServiceFactory());
    }
    return contactService_;
}

std::wstring CApReport::getServiceText(int kind)
{
    if (kind == 0) {
        if (configText_.empty()) {
            if (auto service = getConfigService()) {
                configText_ = service->exportAllConfigs();
            }
        }
        return configText_;
    }
    if (kind == 1) {
        if (contactsText_.empty()) {
            if (auto service = getContactService()) {
                contactsText_ = service->exportContactCache();
            }
        }
        return contactsText_;
    }
    return {};
}

void CApReport::addConfigExport(IReportSink& sink)
{
    writeLogLine(L"Copying configs from ConfigService.");
    if (configText_.empty()) {
        writeLogLine(L"Failed to get all configs from ConfigService.");
        return;
    }
    sink.addMemory(configText_.data(), static_cast<std::uint32_t>(configText_.size() * sizeof(wchar_t)),
        L"vosselAllConfig.xml", L"Config\\", kExported);
}

void CApReport::addContactsExport(IReportSink& sink)
{
    writeLogLine(L"Copying contacts cache from ContactService.");
    if (contactsText_.empty()) {
        writeLogLine(L"Failed to get contact cache from ContactService.");
        return;
    }
    sink.addMemory(contactsText_.data(), static_cast<std::uint32_t>(contactsText_.size() * sizeof(wchar_t)),
        L"vosselAllContacts.xml", L"Contacts\\", kExported);
}
