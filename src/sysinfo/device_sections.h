#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

// The device sections of the system-information file, built from query results without knowing
// where they come from: WMI in the tool, made-up rows in the tests.

// A property's value as the sections use it: text, a 32-bit integer, or anything else (null, other
// types, a failed read), which is left out.
using DeviceValue = std::variant<std::monostate, std::wstring, std::int32_t>;

// One result row of a query.
class CDeviceRow {
public:
    virtual ~CDeviceRow() = default;
    virtual DeviceValue get(const std::wstring& name) const = 0;
};

// Answers WQL queries.
class CDeviceSource {
public:
    virtual ~CDeviceSource() = default;
    // Runs the query and hands each result row to onRow in order. False when the query gave no
    // result set at all, which the sections treat like an empty one.
    virtual bool query(const std::wstring& wql, const std::function<void(const CDeviceRow&)>& onRow) = 0;
};

using PropertyList = std::vector<std::wstring>;

// One titled section of the inventory: the log line written before it, its title, the class
// queried and the properties each device block lists.
struct DeviceClassSection {
    const wchar_t* logLine;
    const wchar_t* title;
    const wchar_t* className;
    PropertyList properties;
};

// Audio, video and monitor devices, in the order they are written.
const std::vector<DeviceClassSection>& deviceClassSections();
// The properties listed for each USB device.
const PropertyList& usbDeviceProperties();

// "\t" name ":\t" value "\n" for each listed property that is text or a 32-bit integer (written
// unsigned), then "\n".
std::wstring formatDeviceBlock(const CDeviceRow& row, const PropertyList& properties);

// Appends "\n" title "\n" and one block per row of "SELECT * FROM " + classText.
void writeWmiClass(std::wstring& out, CDeviceSource& services, const std::wstring& title,
    const std::wstring& classText, const PropertyList& properties);

// Appends "\nUSB Devices", then for each controller association whose "Dependent" is text, the
// blocks of the Plug and Play entities it names, each group opened by two line feeds.
void writeUsbDevices(std::wstring& out, CDeviceSource& services);

// The class text that selects the entity a "Dependent" object path names: its device identifier
// is the text between the first and the last double quote (the whole text without quotes),
// taken as it stands, since the object path already doubles its backslashes as WQL wants.
std::wstring usbEntityClassText(const std::wstring& dependent);
