#include "sysinfo/device_sections.h"

#include <cwchar>

namespace {

std::wstring formatUnsigned(std::int32_t value)
{
    wchar_t buffer[16] = {};
    std::swprintf(buffer, 16, L"%u", static_cast<std::uint32_t>(value));
    return buffer;
}

} // namespace

const std::vector<DeviceClassSection>& deviceClassSections()
{
    static const std::vector<DeviceClassSection> sections = {
        {L"Gathering Audio info...", L"Audio Devices", L"Win32_SoundDevice", {L"Name", L"Description"}},
        {L"Gathering Video driver info...", L"Video Devices", L"Win32_VideoController",
            {L"Name", L"Description", L"DriverVersion", L"DriverDate", L"InstalledDisplayDrivers"}},
        {L"Gathering Monitor info...", L"Desktop Monitor", L"Win32_DesktopMonitor",
            {L"Name", L"Description", L"MonitorManufacturer", L"MonitorType"}},
    };
    return sections;
}

const PropertyList& usbDeviceProperties()
{
    static const PropertyList properties = {L"Availability", L"Caption", L"ClassGuid",
        L"ConfigManagerErrorCode", L"Description", L"DeviceID", L"ErrorDescription", L"LastErrorCode",
        L"Manufacturer", L"Status", L"StatusInfo"};
    return properties;
}

std::wstring formatDeviceBlock(const CDeviceRow& row, const PropertyList& properties)
{
    std::wstring block;
    for (const auto& name : properties) {
        const DeviceValue value = row.get(name);
        if (const auto* text = std::get_if<std::wstring>(&value)) {
            block += L"\t" + name + L":\t" + *text + L"\n";
        } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
            block += L"\t" + name + L":\t" + formatUnsigned(*number) + L"\n";
        }
    }
    block += L"\n";
    return block;
}

void writeWmiClass(std::wstring& out, CDeviceSource& services, const std::wstring& title,
    const std::wstring& classText, const PropertyList& properties)
{
    std::wstring blocks;
    services.query(L"SELECT * FROM " + classText,
        [&](const CDeviceRow& row) { blocks += formatDeviceBlock(row, properties); });
    out += L"\n" + title + L"\n" + blocks;
}

std::wstring usbEntityClassText(const std::wstring& dependent)
{
    std::wstring deviceId = dependent;
    const size_t first = dependent.find(L'"');
    if (first != std::wstring::npos) {
        const size_t last = dependent.rfind(L'"');
        deviceId = dependent.substr(first + 1, last > first ? last - first - 1 : 0);
    }
    return L"Win32_PnPEntity Where DeviceID = '" + deviceId + L"'";
}

void writeUsbDevices(std::wstring& out, CDeviceSource& services)
{
    // The associations are collected first: one query's rows are read to the end before the next
    // query runs.
    std::vector<std::wstring> dependents;
    services.query(L"SELECT * FROM Win32_USBControllerDevice", [&](const CDeviceRow& row) {
        const DeviceValue dependent = row.get(L"Dependent");
        if (const auto* text = std::get_if<std::wstring>(&dependent)) {
            dependents.push_back(*text);
        }
    });
    out += L"\nUSB Devices";
    for (const auto& dependent : dependents) {
        writeWmiClass(out, services, L"", usbEntityClassText(dependent), usbDeviceProperties());
    }
}
