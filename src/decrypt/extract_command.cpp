#include <filesystem>
#include <system_error>

#include "decrypt/command_messages.h"
#include "decrypt/companion_commands.h"
#include "decrypt/output_file.h"
#include "decrypt/output_name.h"
#include "decrypt/report_opening.h"
#include "decrypt/text_encoding.h"

namespace {

// The components of an entry's name, each a plain file name; empty when any is not (so the entry
// would land outside the folder, on a device, or under a name Windows reads differently).
std::vector<std::string> safeComponents(const std::string& name, bool& folder)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    folder = !name.empty() && (name.back() == '\\' || name.back() == '/');
    const std::string path = folder ? name.substr(0, name.size() - 1) : name;
    for (std::size_t end; start <= path.size(); start = end + 1) {
        end = path.find_first_of("\\/", start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string component = path.substr(start, end - start);
        if (!isPlainFileName(component)) {
            return {};
        }
        components.push_back(component);
    }
    return components;
}

// Makes the folders on the way to a file below root; none of them may be a link, which could
// lead out of root.
bool makeFolders(const std::filesystem::path& root, const std::vector<std::string>& components, std::size_t count)
{
    std::filesystem::path folder = root;
    for (std::size_t i = 0; i < count; ++i) {
        folder /= pathFromUtf8(components[i]);
        std::error_code error;
        const auto status = std::filesystem::symlink_status(folder, error);
        if (std::filesystem::is_symlink(status)) {
            return false;
        }
        if (!std::filesystem::exists(status) && !std::filesystem::create_directory(folder, error)) {
            return false;
        }
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(folder, error))) {
            return false;
        }
    }
    return true;
}

} // namespace

int extractCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    VerbArguments split;
    if (!splitArguments(arguments, {"--overwrite"}, {}, split) || split.words.size() < 2 || split.words.size() > 3) {
        printUsage(err);
        return kExitUsage;
    }
    const bool overwrite = split.has("--overwrite");
    const std::filesystem::path root = pathFromUtf8(split.words.back());
    COpenedReport report;
    std::string why;
    if (!openReportArgument(report, split.words[0], split.words.size() == 3 ? &split.words[1] : nullptr, err, why)) {
        return failWith(err, why + "; nothing was written");
    }
    std::error_code error;
    std::filesystem::create_directories(root, error);
    if (!std::filesystem::is_directory(root, error)) {
        return failWith(err, "cannot make the folder " + split.words.back() + "; nothing was written");
    }
    CZipReader& archive = report.archive();
    std::size_t written = 0;
    std::size_t files = 0;
    bool allWritten = true;
    for (std::size_t i = 0; i < archive.entries().size(); ++i) {
        const std::string& name = archive.entries()[i].name;
        bool folder = false;
        const std::vector<std::string> components = safeComponents(name, folder);
        files += folder ? 0 : 1;
        if (components.empty()) {
            err << "VosselPRTDecrypt: refused \"" << printable(name) << "\": not a plain name inside the folder\n";
            allWritten = false;
            continue;
        }
        if (!makeFolders(root, components, folder ? components.size() : components.size() - 1)) {
            err << "VosselPRTDecrypt: refused \"" << printable(name) << "\": its folder cannot be made inside "
                << split.words.back() << "\n";
            allWritten = false;
            continue;
        }
        if (folder) {
            continue;
        }
        std::filesystem::path target = root;
        for (const std::string& component : components) {
            target /= pathFromUtf8(component);
        }
        const auto file = COutputFile::begin(target, overwrite);
        if (!file) {
            err << "VosselPRTDecrypt: not written: " << utf8OfPath(target)
                << (pathExists(target) ? " exists (--overwrite replaces it)" : " cannot be made") << "\n";
            allWritten = false;
            continue;
        }
        const EntryRead read = archive.read(i, [&](const char* data, std::size_t count) { return file->write(data, count); });
        if (!read.ok || !file->finish()) {
            err << "VosselPRTDecrypt: not written: \"" << printable(name) << "\" "
                << (read.ok ? std::string("could not be written") : read.problem) << "\n";
            allWritten = false;
            continue;
        }
        ++written;
    }
    out << "VosselPRTDecrypt: wrote " << written << " of " << files << " files into " << split.words.back() << "\n";
    return allWritten ? kExitDone : kExitFailed;
}
