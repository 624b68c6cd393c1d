#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "decrypt/byte_source.h"

// The companion's edge with the file system, one implementation per platform: reading a report or
// a key, and making files in a way that never replaces or leaves behind anything by accident.

// The file opened for reading, its size taken once; null when it cannot be opened.
std::unique_ptr<CByteSource> openFileSource(const std::filesystem::path& path);

// Whether both paths name one existing file, whatever the spelling (case, links).
bool isSameFile(const std::filesystem::path& one, const std::filesystem::path& other);

// Whether anything (a file, a folder, a dangling link) has that name.
bool pathExists(const std::filesystem::path& path);

// A file the companion makes: created only where nothing has its name, and removed again unless
// kept, so a failure never leaves a partial file behind.
class CCreatedFile {
public:
    // Null when something has that name already or the file cannot be created.
    static std::unique_ptr<CCreatedFile> createNew(const std::filesystem::path& path);
    ~CCreatedFile();
    CCreatedFile(const CCreatedFile&) = delete;
    CCreatedFile& operator=(const CCreatedFile&) = delete;

    bool write(const void* data, std::size_t count);
    // Closes the file and keeps it; false, with the file removed, when the last writes fail.
    bool keep();
    const std::filesystem::path& path() const { return path_; }

private:
    CCreatedFile(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
    void closeHandle();

    std::filesystem::path path_;
    std::intptr_t handle_;
    bool open_ = true;
    bool kept_ = false;
};

// Puts the finished file staged in the place of target, replacing what is there in one step.
bool replaceWithFile(const std::filesystem::path& staged, const std::filesystem::path& target);
