#include "scratch_folder.h"

#include <fstream>
#include <iterator>
#include <random>

CScratchFolder::CScratchFolder()
{
    std::random_device random;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() / ("prt-companion-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
}

CScratchFolder::~CScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::set<std::string> filesBelow(const std::filesystem::path& folder)
{
    std::set<std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_directory()) {
            files.insert(std::filesystem::relative(it->path(), folder).generic_string());
        }
    }
    return files;
}

bool writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string readBytes(const std::filesystem::path& path, bool* missing)
{
    std::ifstream in(path, std::ios::binary);
    if (missing) {
        *missing = !in;
    }
    return in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : std::string();
}
