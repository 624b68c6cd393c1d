#include "sysinfo/device_sections.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

class MadeUpRow : public CDeviceRow {
public:
    MadeUpRow(std::map<std::wstring, DeviceValue> values) : values_(std::move(values)) {}
    DeviceValue get(const std::wstring& name) const override
    {
        const auto found = values_.find(name);
        return found == values_.end() ? DeviceValue{} : found->second;
    }

private:
    std::map<std::wstring, DeviceValue> values_;
};

// Answers the queries it knows with its rows and records every query it was asked; an unknown
// query returns no result set.
class MadeUpSource : public CDeviceSource {
public:
    std::map<std::wstring, std::vector<MadeUpRow>> answers;
    std::vector<std::wstring> asked;

    bool query(const std::wstring& wql, const std::function<void(const CDeviceRow&)>& onRow) override
    {
        asked.push_back(wql);
        const auto found = answers.find(wql);
        if (found == answers.end()) {
            return false;
        }
        for (const auto& row : found->second) {
            onRow(row);
        }
        return true;
    }
};

struct BlockCase {
    const char* name;
    std::map<std::wstring, DeviceValue> row;
    std::wstring block;
};

TEST(DeviceBlock, WritesTextAndUnsignedIntegersInListOrderAndLeavesOutTheRest)
{
    const PropertyList properties = {L"Name", L"Availability", L"ConfigManagerErrorCode", L"Status"};
    const std::vector<BlockCase> cases = {
        {"text and a number, in list order",
            {{L"Status", std::wstring(L"OK")}, {L"Availability", std::int32_t{3}}, {L"Name", std::wstring(L"Hub")}},
            L"\tName:\tHub\n\tAvailability:\t3\n\tStatus:\tOK\n\n"},
        {"negative 32-bit integers read as unsigned",
            {{L"ConfigManagerErrorCode", std::int32_t{-1}}, {L"Availability", std::int32_t{-2147483647 - 1}}},
            L"\tAvailability:\t2147483648\n\tConfigManagerErrorCode:\t4294967295\n\n"},
        {"null, other types and missing names are left out",
            {{L"Name", DeviceValue{}}, {L"Description", std::wstring(L"not listed")}},
            L"\n"},
        {"empty text is still text", {{L"Name", std::wstring()}}, L"\tName:\t\n\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDeviceBlock(MadeUpRow(c.row), properties), c.block) << c.name;
    }
}

TEST(DeviceSections, ClassSectionHasItsTitleAndOneBlockPerRow)
{
    MadeUpSource source;
    source.answers[L"SELECT * FROM Win32_VideoController"] = {
        MadeUpRow({{L"Name", std::wstring(L"Wine Adapter")}, {L"DriverDate", std::wstring(L"20240101000000.000000-000")}}),
        MadeUpRow({{L"Description", std::wstring(L"Second")}}),
    };
    const auto& sections = deviceClassSections();
    ASSERT_EQ(sections.size(), 3u);

    std::wstring out;
    for (const auto& section : sections) {
        writeWmiClass(out, source, section.title, section.className, section.properties);
    }
    // No sound device: the title stands alone before the next section.
    EXPECT_EQ(out,
        L"\nAudio Devices\n"
        L"\nVideo Devices\n\tName:\tWine Adapter\n\tDriverDate:\t20240101000000.000000-000\n\n\tDescription:\tSecond\n\n"
        L"\nDesktop Monitor\n");
    EXPECT_EQ(source.asked, (std::vector<std::wstring>{L"SELECT * FROM Win32_SoundDevice",
                                L"SELECT * FROM Win32_VideoController", L"SELECT * FROM Win32_DesktopMonitor"}));
}

TEST(UsbDevices, EachTextDependentOpensAGroupOfTheEntitiesItNames)
{
    MadeUpSource source;
    const std::wstring dependent =
        L"\\\\HOST\\root\\cimv2:Win32_PnPEntity.DeviceID=\"USB\\\\VID_046D&PID_C52B\\\\5&2B8A6C1&0&1\"";
    const std::wstring entityQuery =
        L"SELECT * FROM Win32_PnPEntity Where DeviceID = 'USB\\\\VID_046D&PID_C52B\\\\5&2B8A6C1&0&1'";
    source.answers[L"SELECT * FROM Win32_USBControllerDevice"] = {
        MadeUpRow({{L"Dependent", std::int32_t{7}}}),
        MadeUpRow({{L"Dependent", dependent}}),
        MadeUpRow({}),
    };
    source.answers[entityQuery] = {MadeUpRow({{L"Caption", std::wstring(L"USB Receiver")},
        {L"ConfigManagerErrorCode", std::int32_t{0}}, {L"DeviceID", std::wstring(L"USB\\VID_046D")}})};

    std::wstring out;
    writeUsbDevices(out, source);
    // The rows without a text "Dependent" write nothing, not even the empty title.
    EXPECT_EQ(out, L"\nUSB Devices\n\n\tCaption:\tUSB Receiver\n\tConfigManagerErrorCode:\t0\n\tDeviceID:\tUSB\\VID_046D\n\n");
    EXPECT_EQ(source.asked, (std::vector<std::wstring>{L"SELECT * FROM Win32_USBControllerDevice", entityQuery}));
}

TEST(UsbDevices, NoResultSetLeavesTheBareTitle)
{
    MadeUpSource source;
    std::wstring out;
    writeUsbDevices(out, source);
    EXPECT_EQ(out, L"\nUSB Devices");
}

TEST(UsbDevices, DeviceIdentifierIsTheTextBetweenTheFirstAndLastQuote)
{
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"x:Win32_PnPEntity.DeviceID=\"ROOT\\\\HUB\\\\0000\"", L"ROOT\\\\HUB\\\\0000"},
        {L"a\"b\"c\"d", L"b\"c"},
        {L"no quotes", L"no quotes"},
        {L"one\"quote", L""},
    };
    for (const auto& [dependent, id] : cases) {
        EXPECT_EQ(usbEntityClassText(dependent), L"Win32_PnPEntity Where DeviceID = '" + id + L"'");
    }
}

} // namespace
