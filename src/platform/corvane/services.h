#pragma once

#include <memory>
#include <string>

#include "platform/corvane/api.h"

// The client's services framework, as the report tool reaches it.
namespace QSKUnified {

// The common base of the client's services.
class CORVANE_API UnifiedService {
public:
    virtual ~UnifiedService();
};

class CORVANE_API ConfigService : public UnifiedService {
public:
    explicit ConfigService(std::wstring exportText);
    // All configuration values, as XML.
    std::wstring exportAllConfigs();

private:
    std::wstring exportText_;
};

class CORVANE_API ContactService : public UnifiedService {
public:
    explicit ContactService(std::wstring exportText);
    // The contact cache, as XML.
    std::wstring exportContactCache();

private:
    std::wstring exportText_;
};

class CORVANE_API ServiceFactory {
public:
    virtual ~ServiceFactory();

    // The service whose class has this name (as the runtime's type information gives it);
    // empty when the framework has no such service.
    virtual std::shared_ptr<UnifiedService> getService(const std::string& className);

    // The running client's factory; empty when the client's services cannot be reached.
    static std::shared_ptr<ServiceFactory> getInstance();

private:
    explicit ServiceFactory(std::wstring servicesFolder);
    std::wstring servicesFolder_;
};

} // namespace QSKUnified
