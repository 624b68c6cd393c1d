#pragma once

#include <windows.h>
#include <wbemidl.h>

#include "sysinfo/device_sections.h"

// Device queries answered by a connected WMI namespace. Used on the thread that connected it.
class CWmiDeviceSource : public CDeviceSource {
public:
    explicit CWmiDeviceSource(IWbemServices* services) : services_(services) {}

    bool query(const std::wstring& wql, const std::function<void(const CDeviceRow&)>& onRow) override;

private:
    IWbemServices* services_;
};
