#include <windows.h>
#include <wbemidl.h>

#include <sstream>

#include "base/diagnostic_log.h"
#include "base/scoped_com.h"
#include "sysinfo/device_sections.h"
#include "sysinfo/system_info_file.h"
#include "sysinfo/system_info_writer.h"
#include "sysinfo/wmi_device_source.h"

namespace {

void logFailure(const wchar_t* text, HRESULT result)
{
    std::wostringstream message;
    message << text << std::hex << static_cast<unsigned long>(result);
    writeLogLine(message.str());
}

} // namespace

void CSystemInfoWriter::writeSystemDevices()
{
    writeLogLine(L"writeSystemDevices Entered");
    // Fails harmlessly when the process's security was already set.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
        nullptr, EOAC_NONE, nullptr);

    IWbemLocator* rawLocator = nullptr;
    HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
        reinterpret_cast<void**>(&rawLocator));
    if (FAILED(result)) {
        logFailure(L"Failed to locate WMI. Error code = 0x", result);
        return;
    }
    ScopedComPtr<IWbemLocator> locator(rawLocator);

    writeLogLine(L"Connecting WMI");
    ScopedBstr nameSpace(SysAllocString(L"ROOT\\CIMV2"));
    IWbemServices* rawServices = nullptr;
    result = nameSpace ? locator.get()->ConnectServer(nameSpace.get(), nullptr, nullptr, nullptr, 0, nullptr,
                             nullptr, &rawServices)
                       : E_OUTOFMEMORY;
    if (FAILED(result)) {
        logFailure(L"Failed to initialize COM library. Error code = 0x", result);
        return;
    }
    ScopedComPtr<IWbemServices> services(rawServices);

    writeLogLine(L"Connected to WMI namespace");
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
        RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);

    ScopedStdioFile file = openSystemInfoFile(path_);
    if (!file) {
        return;
    }
    CWmiDeviceSource source(services.get());
    for (const auto& section : deviceClassSections()) {
        writeLogLine(section.logLine);
        std::wstring text;
        writeWmiClass(text, source, section.title, section.className, section.properties);
        writeSystemInfoText(file.get(), text);
    }
    writeLogLine(L"Gathering USB device info...");
    std::wstring usb;
    writeUsbDevices(usb, source);
    writeSystemInfoText(file.get(), usb);
}
