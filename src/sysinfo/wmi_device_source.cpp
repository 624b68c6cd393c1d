#include "sysinfo/wmi_device_source.h"

#include "base/scoped_com.h"

namespace {

class CWmiRow : public CDeviceRow {
public:
    explicit CWmiRow(IWbemClassObject* object) : object_(object) {}

    DeviceValue get(const std::wstring& name) const override
    {
        ScopedVariant value;
        if (FAILED(object_->Get(name.c_str(), 0, value.receive(), nullptr, nullptr))) {
            return {};
        }
        const VARIANT& v = value.get();
        if (v.vt == VT_BSTR && v.bstrVal) {
            return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
        }
        if (v.vt == VT_I4) {
            return static_cast<std::int32_t>(v.lVal);
        }
        return {};
    }

private:
    IWbemClassObject* object_;
};

} // namespace

bool CWmiDeviceSource::query(const std::wstring& wql, const std::function<void(const CDeviceRow&)>& onRow)
{
    ScopedBstr language(SysAllocString(L"WQL"));
    ScopedBstr text(SysAllocString(wql.c_str()));
    if (!language || !text) {
        return false;
    }
    IEnumWbemClassObject* rawRows = nullptr;
    // A failed query leaves no enumerator; its result code says nothing the section could use.
    services_->ExecQuery(language.get(), text.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
        nullptr, &rawRows);
    ScopedComPtr<IEnumWbemClassObject> rows(rawRows);
    if (!rows) {
        return false;
    }
    for (;;) {
        IWbemClassObject* rawObject = nullptr;
        ULONG returned = 0;
        rows.get()->Next(WBEM_INFINITE, 1, &rawObject, &returned);
        ScopedComPtr<IWbemClassObject> object(rawObject);
        if (returned == 0 || !object) {
            break;
        }
        onRow(CWmiRow(object.get()));
    }
    return true;
}
