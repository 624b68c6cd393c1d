#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "decrypt/file_access.h"

// A file the companion writes, which appears at its place only when it is whole. A new file is
// created where nothing has its name; a file that replaces another is written under a fresh name
// beside it, which no file has, and takes the other's place in one step. Either way a failure
// leaves nothing behind and touches nothing else.
class COutputFile {
public:
    // Null when the file cannot be begun (or, without replace, something has that name).
    static std::unique_ptr<COutputFile> begin(const std::filesystem::path& target, bool replace);

    bool write(const void* data, std::size_t count) { return file_->write(data, count); }
    // The file in its place; false when it could not be put there (then nothing was).
    bool finish();

private:
    COutputFile(std::filesystem::path target, std::unique_ptr<CCreatedFile> file, bool staged)
        : target_(std::move(target)), file_(std::move(file)), staged_(staged) {}

    std::filesystem::path target_;
    std::unique_ptr<CCreatedFile> file_;
    bool staged_;
};

// Writes bytes to target, as above.
bool writeOutputFile(const std::filesystem::path& target, const void* data, std::size_t count, bool replace);
