#include "base/diagnostic_log.h"
#include "platform/qskstorage/encrypt_file_utils.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/secure_string_reader.h"

void CApReport::addRawStackTrace(IReportSink& sink)
{
    const std::string path = vosselutils::FileUtils::getLocalAppBaseDirectory() + "RawStackTrace.dat";
    qsk::SecureString trace;
    if (!qsk::storage::EncryptFileUtils::readDataFromFile(path, trace, qsk::storage::FileCategoryType::Diagnostics)
        || !trace) {
        writeLogLine(L"Could not read from RawStackTrace.dat");
        return;
    }
    const WipedBytes plain = readSecureStringContent(*trace);
    std::wstring text = vosselutils::toWideString(reinterpret_cast<const char*>(plain.bytes.data()));
    // Decoded from the client's enciphered store: the tool made this text.
    sink.addMemory(text.data(), static_cast<std::uint32_t>(text.size() * sizeof(wchar_t)), L"RawStackTrace.txt", L"",
        EntryOrigin{EntrySource::Generated, EntryTreatment::Generated, L""});
    vosselutils::secureEraseString(text);
}
