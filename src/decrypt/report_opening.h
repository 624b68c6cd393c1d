#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/wiped_bytes.h"
#include "decrypt/byte_source.h"
#include "decrypt/zip_entries.h"

// The private key's text, read straight into one buffer of its size so that no copy of it is left
// behind unwiped; false when the file cannot be read or is too large to be a key.
bool readPrivateKey(const std::filesystem::path& path, WipedBytes& key);

// A report opened for reading, plain or (with the key) encrypted: the plain archive is read from
// the file itself, or decrypted into memory.
class COpenedReport {
public:
    // False, with the reason in error, when the report cannot be read, is encrypted and no key
    // opens it.
    bool open(const std::filesystem::path& report, const std::optional<std::filesystem::path>& key, std::string& error);

    CZipReader& archive() { return encrypted_ ? plainArchive_ : fileArchive_; }
    bool encrypted() const { return encrypted_; }
    // A key was given for a report that is not encrypted.
    bool keyUnused() const { return keyUnused_; }
    // The report's archive file name: NAME of NAME.enc, or the file's own name.
    const std::string& name() const { return name_; }
    std::uint64_t fileBytes() const { return file_ ? file_->size() : 0; }
    // The plain archive's size.
    std::uint64_t plainBytes() const { return encrypted_ ? plain_.size() : fileBytes(); }

private:
    // Declared before the archives that read them, so they go after them.
    std::unique_ptr<CByteSource> file_;
    std::string plain_;
    std::unique_ptr<CMemorySource> plainSource_;
    CZipReader fileArchive_;
    CZipReader plainArchive_;
    bool encrypted_ = false;
    bool keyUnused_ = false;
    std::string name_;
};

// The report named by a verb's words, with its key when the verb was given one, as every verb
// takes them: false with the reason in error; a note on err when a key was not needed.
bool openReportArgument(COpenedReport& report, const std::string& path, const std::string* key, std::ostream& err,
    std::string& error);
