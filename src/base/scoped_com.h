#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "base/scoped_generic.h"

// One reference to a COM interface, released when the owner goes.
template <typename Interface>
struct ComInterfaceTraits {
    using Type = Interface*;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type object) noexcept { object->Release(); }
};
template <typename Interface>
using ScopedComPtr = ScopedGeneric<ComInterfaceTraits<Interface>>;

// A string that COM calls take as BSTR.
struct BstrTraits {
    using Type = BSTR;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type text) noexcept { SysFreeString(text); }
};
using ScopedBstr = ScopedGeneric<BstrTraits>;

// A VARIANT that a COM call fills; cleared on every path.
class ScopedVariant {
public:
    ScopedVariant() noexcept { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* receive() noexcept
    {
        VariantClear(&value_);
        return &value_;
    }
    const VARIANT& get() const noexcept { return value_; }

private:
    VARIANT value_;
};

// COM on the calling thread for the owner's lifetime. A thread that already has another apartment
// keeps it and is not uninitialised by this owner.
class ScopedComInitialization {
public:
    explicit ScopedComInitialization(DWORD apartment) noexcept
        : result_(CoInitializeEx(nullptr, apartment))
    {
    }
    ~ScopedComInitialization()
    {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ScopedComInitialization(const ScopedComInitialization&) = delete;
    ScopedComInitialization& operator=(const ScopedComInitialization&) = delete;

    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};
