#include "decrypt/report_opening.h"

#include "decrypt/file_access.h"
#include "decrypt/report_decryption.h"
#include "decrypt/text_encoding.h"

namespace {
// A PEM private key of any size RSA allows is a few KiB.
constexpr std::uint64_t kLargestKeyFile = 1 << 20;
}

bool readPrivateKey(const std::filesystem::path& path, WipedBytes& key)
{
    const std::unique_ptr<CByteSource> file = openFileSource(path);
    if (!file || file->size() > kLargestKeyFile) {
        return false;
    }
    key.bytes.resize(static_cast<std::size_t>(file->size()));
    return file->readAt(0, key.bytes.data(), key.bytes.size());
}

bool COpenedReport::open(const std::filesystem::path& report, const std::optional<std::filesystem::path>& key,
    std::string& error)
{
    file_ = openFileSource(report);
    if (!file_) {
        error = "cannot read the report " + utf8OfPath(report);
        return false;
    }
    std::string why;
    if (!fileArchive_.open(*file_, why)) {
        error = "the report " + utf8OfPath(report) + " cannot be read: " + why;
        return false;
    }
    name_ = utf8OfPath(report.filename());
    if (!isEncryptedReport(fileArchive_)) {
        keyUnused_ = key.has_value();
        return true;
    }
    if (!key) {
        error = "the report is encrypted: give the private key of its certificate (PEM) after the report";
        return false;
    }
    WipedBytes keyText(0);
    if (!readPrivateKey(*key, keyText)) {
        error = "cannot read the private key " + utf8OfPath(*key);
        return false;
    }
    DecryptedReport decrypted = decryptReport(fileArchive_,
        std::string_view(reinterpret_cast<const char*>(keyText.bytes.data()), keyText.bytes.size()));
    if (!decrypted.ok) {
        error = decrypted.error;
        return false;
    }
    plain_ = std::move(decrypted.plainZip);
    plainSource_ = std::make_unique<CMemorySource>(plain_);
    if (!plainArchive_.open(*plainSource_, why)) {
        error = "the decrypted report cannot be read: " + why;
        return false;
    }
    encrypted_ = true;
    name_ = decrypted.name;
    return true;
}

bool openReportArgument(COpenedReport& report, const std::string& path, const std::string* key, std::ostream& err,
    std::string& error)
{
    if (!report.open(pathFromUtf8(path), key ? std::optional(pathFromUtf8(*key)) : std::nullopt, error)) {
        return false;
    }
    if (report.keyUnused()) {
        err << "VosselPRTDecrypt: the report is not encrypted; the key is not needed\n";
    }
    return true;
}
