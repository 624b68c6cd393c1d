#include "decrypt/companion_commands.h"

#include <memory>
#include <optional>

#include "base/wiped_bytes.h"
#include "decrypt/command_messages.h"
#include "decrypt/file_access.h"
#include "decrypt/output_file.h"
#include "decrypt/output_name.h"
#include "decrypt/report_decryption.h"
#include "decrypt/report_opening.h"
#include "decrypt/text_encoding.h"

namespace {

// Where the plain report goes when no OUTPUT is given, or nothing when the report's own name cannot
// safely name a file beside it (then why says so).
std::optional<std::filesystem::path> defaultOutput(const std::filesystem::path& report, const std::string& reportName,
    std::string& why)
{
    // The name comes from inside the report, which anyone holding the public certificate can make:
    // only a plain file name beside the report is taken, always a ".zip", and nothing is replaced.
    const std::string name = defaultOutputName(reportName);
    if (name.empty()) {
        why = "the report's own name \"" + printable(reportName)
            + "\" is not a safe file name; give OUTPUT to choose one. Nothing was written";
        return std::nullopt;
    }
    const std::filesystem::path folder = report.parent_path();
    std::filesystem::path output = folder / pathFromUtf8(name);
    if (isSameFile(output, report)) {
        // The report kept its archive file name (its move to the output path failed).
        output = folder / pathFromUtf8(nameWithSuffix(name, "-decrypted"));
    }
    if (pathExists(output)) {
        why = utf8OfPath(output)
            + " already exists and is not replaced; give OUTPUT to choose where the report goes. Nothing was written";
        return std::nullopt;
    }
    return output;
}

} // namespace

int decryptCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() < 2 || arguments.size() > 3) {
        printUsage(err);
        return kExitUsage;
    }
    const std::filesystem::path report = pathFromUtf8(arguments[0]);
    const std::unique_ptr<CByteSource> file = openFileSource(report);
    if (!file) {
        return failWith(err, "cannot read the report " + arguments[0]);
    }
    CZipReader archive;
    std::string why;
    if (!archive.open(*file, why)) {
        return failWith(err, "the report is not a readable zip archive: " + why + "; nothing was written");
    }
    WipedBytes key(0);
    if (!readPrivateKey(pathFromUtf8(arguments[1]), key)) {
        return failWith(err, "cannot read the private key " + arguments[1]);
    }
    const DecryptedReport decrypted =
        decryptReport(archive, std::string_view(reinterpret_cast<const char*>(key.bytes.data()), key.bytes.size()));
    if (!decrypted.ok) {
        return failWith(err, decrypted.error + "; nothing was written");
    }
    std::filesystem::path output;
    const bool named = arguments.size() == 3;
    if (named) {
        output = pathFromUtf8(arguments[2]);
        if (isSameFile(output, report) || isSameFile(output, pathFromUtf8(arguments[1]))) {
            return failWith(err, "OUTPUT is the encrypted report or the key itself; choose another name. Nothing was written");
        }
    } else if (const auto chosen = defaultOutput(report, decrypted.name, why)) {
        output = *chosen;
    } else {
        return failWith(err, why);
    }
    // A file the user named is replaced once the report is whole; a name of the report's own never is.
    if (!writeOutputFile(output, decrypted.plainZip.data(), decrypted.plainZip.size(), named)) {
        return failWith(err, "cannot write " + utf8OfPath(output) + "; nothing was written");
    }
    out << "VosselPRTDecrypt: wrote " << utf8OfPath(output) << "\n";
    return 0;
}
