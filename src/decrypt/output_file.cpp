#include "decrypt/output_file.h"

#include <cstdio>
#include <random>

std::unique_ptr<COutputFile> COutputFile::begin(const std::filesystem::path& target, bool replace)
{
    if (!replace || !pathExists(target)) {
        auto file = CCreatedFile::createNew(target);
        return file ? std::unique_ptr<COutputFile>(new COutputFile(target, std::move(file), false)) : nullptr;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char unique[32];
        std::snprintf(unique, sizeof(unique), ".%08x%08x.partial", random(), random());
        std::filesystem::path staging = target;
        staging += unique;
        if (auto file = CCreatedFile::createNew(staging)) {
            return std::unique_ptr<COutputFile>(new COutputFile(target, std::move(file), true));
        }
        if (!pathExists(staging)) {
            return nullptr; // not a clash of names: the folder cannot take the file
        }
    }
    return nullptr;
}

bool COutputFile::finish()
{
    if (!file_->keep()) {
        return false;
    }
    if (staged_ && !replaceWithFile(file_->path(), target_)) {
        std::error_code ignored;
        std::filesystem::remove(file_->path(), ignored);
        return false;
    }
    return true;
}

bool writeOutputFile(const std::filesystem::path& target, const void* data, std::size_t count, bool replace)
{
    const auto file = COutputFile::begin(target, replace);
    return file && file->write(data, count) && file->finish();
}
