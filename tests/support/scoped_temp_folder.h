#pragma once

#include <string>

// A fresh folder under the test process's temporary folder, removed with everything in it when
// the owner goes. path() ends in a backslash, as GetTempPathW's result does.
class ScopedTempFolder {
public:
    ScopedTempFolder();
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};
