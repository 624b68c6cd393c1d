#pragma once

#include <filesystem>
#include <set>
#include <string>

// A fresh folder under the system's temporary folder for one test, removed with everything in it
// when the test ends.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Every file below folder, as generic relative paths ("a/b.txt").
std::set<std::string> filesBelow(const std::filesystem::path& folder);

bool writeBytes(const std::filesystem::path& path, const std::string& bytes);
// The file's bytes; empty with missing set when it cannot be read.
std::string readBytes(const std::filesystem::path& path, bool* missing = nullptr);
