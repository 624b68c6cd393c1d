#include "app/run_outcome.h"

#include <windows.h>
#include <wincrypt.h>

#include <mutex>
#include <vector>

#include "app/console/console_output.h"
#include "app/console/console_progress.h"
#include "archive/data_stream.h"
#include "base/diagnostic_log.h"
#include "base/little_endian.h"
#include "base/scoped_certificate.h"
#include "crypto/encryption_certificate.h"
#include "report/ap_report.h"
#include "settings/ap_report_ini.h"

namespace {

constexpr int kArchiveCannotBegin = 61001;
constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndRecordSignature = 0x06064b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;

struct Record {
    std::mutex mutex;
    RunOutcome outcome;
};

Record& theRecord()
{
    static Record record;
    return record;
}

// The subject's common name (or its first readable part) of the Base64 certificate; empty when it
// cannot be read.
std::wstring certificateSubject(const std::string& base64)
{
    DWORD size = 0;
    if (base64.empty()
        || !CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64,
            nullptr, &size, nullptr, nullptr)) {
        return L"";
    }
    std::vector<BYTE> encoded(size);
    if (!CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64,
            encoded.data(), &size, nullptr, nullptr)) {
        return L"";
    }
    ScopedCertContext certificate(CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(), size));
    if (!certificate) {
        return L"";
    }
    wchar_t name[512] = {};
    CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 512);
    return name;
}

std::uint64_t fileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

std::optional<std::uint64_t> countArchiveEntries(const unsigned char* data, std::size_t length)
{
    if (!data || length < kEndRecordSize) {
        return std::nullopt;
    }
    // The tool writes no archive comment, so the end record is the last 22 bytes.
    const unsigned char* end = data + length - kEndRecordSize;
    if (readLittleEndian(end, 4) != kEndRecordSignature) {
        return std::nullopt;
    }
    const std::uint64_t entries = readLittleEndian(end + 10, 2);
    if (entries != 0xFFFF || length < kEndRecordSize + kZip64LocatorSize) {
        return entries;
    }
    const unsigned char* locator = end - kZip64LocatorSize;
    if (readLittleEndian(locator, 4) != kZip64LocatorSignature) {
        return entries;
    }
    const std::uint64_t zip64End = readLittleEndian(locator + 8, 8);
    if (zip64End > length - kZip64EndRecordSize
        || readLittleEndian(data + zip64End, 4) != kZip64EndRecordSignature) {
        return entries;
    }
    return readLittleEndian(data + zip64End + 32, 8);
}

void noteNoReport(NoReportReason reason, const std::wstring& outputPath)
{
    Record& record = theRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    if (record.outcome.reason == NoReportReason::None) {
        record.outcome.reason = reason;
    }
    if (!outputPath.empty()) {
        record.outcome.outputPath = outputPath;
    }
}

void noteCollection(int result)
{
    if (result == kArchiveCannotBegin) {
        noteNoReport(NoReportReason::ArchiveCannotBegin);
        return;
    }
    const CDataStream& stream = theDataStream();
    const auto entries = countArchiveEntries(stream.buffer(), stream.length());
    Record& record = theRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    record.outcome.entries = entries.value_or(0);
}

void noteLeftOut(std::uint64_t count)
{
    Record& record = theRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    record.outcome.leftOut = count;
}

void noteReportMove(const CApReport& report, const std::wstring& outputPath)
{
    const bool reachedOutput = report.reportReachedOutput();
    const bool encrypted = CApReportIni::isPrtEncryptionEnabled();
    std::wstring kept;
    if (!reachedOutput) {
        const std::wstring saved = report.temporaryReportPath();
        if (encrypted && getEncryptionCertificate().empty()) {
            noteNoReport(NoReportReason::NoCertificate);
        } else if (saved.empty() || GetFileAttributesW(saved.c_str()) == INVALID_FILE_ATTRIBUTES) {
            noteNoReport(NoReportReason::NotSaved);
        } else {
            kept = saved;
        }
        noteNoReport(NoReportReason::MoveFailed);
    }
    std::wstring subject;
    if (reachedOutput && encrypted) {
        subject = certificateSubject(getEncryptionCertificate());
        if (subject.empty()) {
            subject = CApReportIni::getCertificateName();
        }
    }
    Record& record = theRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    record.outcome.outputPath = outputPath;
    record.outcome.keptReportPath = kept;
    if (reachedOutput) {
        record.outcome.reportWritten = true;
        record.outcome.certificateSubject = subject;
        record.outcome.bytes = fileSize(outputPath);
    }
}

RunOutcome currentRunOutcome()
{
    Record& record = theRecord();
    std::lock_guard<std::mutex> lock(record.mutex);
    return record.outcome;
}

CClosingLine::CClosingLine()
{
    consoleStreamKind(STD_OUTPUT_HANDLE);
    consoleStreamKind(STD_ERROR_HANDLE);
}

void printClosingLine()
{
    try {
        RunOutcome outcome = currentRunOutcome();
        if (!outcome.reportWritten && outcome.reason == NoReportReason::None) {
            outcome.reason = NoReportReason::EndedEarly;
        }
        finishProgressLine();
        writeConsoleText(STD_OUTPUT_HANDLE, formatClosingLine(outcome, getLogFilePath()) + L"\r\n");
    } catch (...) {
        // The closing line is a courtesy; a run never fails because of it.
    }
}
