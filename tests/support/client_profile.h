#pragma once

#include <string>

// The running client's folders in the user's profile (local and roaming application data +
// "Ormel\Merovan\Vossel\QSK\"), emptied for a test and removed again when it ends. The tool
// finds them through the user's known folders, which a test cannot move elsewhere; tests that
// run the tool are never run beside each other, so they take turns with them.
class ScopedClientProfile {
public:
    ScopedClientProfile();
    ~ScopedClientProfile();
    ScopedClientProfile(const ScopedClientProfile&) = delete;
    ScopedClientProfile& operator=(const ScopedClientProfile&) = delete;

    // Ends in a backslash.
    std::wstring localBase() const { return localBase_; }
    std::wstring logsFolder() const { return localBase_ + L"Logs\\"; }
    std::wstring servicesFolder() const { return localBase_ + L"Services\\"; }
    std::wstring contactsFolder() const { return localBase_ + L"Contacts"; }
    // No trailing backslash, as the client names it.
    std::wstring configFolder() const { return configFolder_; }

    // Writes bytes to path, making the folders on the way.
    static void put(const std::wstring& path, const std::string& bytes);
    // The stored crash trace, protected as the client stores it.
    void putStackTrace(const std::string& trace) const;

    static void removeClientFolders();

private:
    std::wstring localBase_;
    std::wstring configFolder_;
};
