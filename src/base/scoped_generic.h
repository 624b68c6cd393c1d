#pragma once

#include <utility>

// Owner of one resource described by Traits: Traits::Type, Traits::invalid() (the "no resource"
// value of that kind) and Traits::release(value). Movable, not copyable; releases on every path.
template <typename Traits>
class ScopedGeneric {
public:
    using Type = typename Traits::Type;

    ScopedGeneric() noexcept : value_(Traits::invalid()) {}
    explicit ScopedGeneric(Type value) noexcept : value_(value) {}
    ~ScopedGeneric() { reset(); }

    ScopedGeneric(const ScopedGeneric&) = delete;
    ScopedGeneric& operator=(const ScopedGeneric&) = delete;
    ScopedGeneric(ScopedGeneric&& other) noexcept : value_(other.release()) {}
    ScopedGeneric& operator=(ScopedGeneric&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Type get() const noexcept { return value_; }
    bool isValid() const noexcept { return value_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return isValid(); }

    void reset(Type value = Traits::invalid()) noexcept
    {
        if (isValid()) {
            Traits::release(value_);
        }
        value_ = value;
    }

    [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::invalid()); }

private:
    Type value_;
};
