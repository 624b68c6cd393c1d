#pragma once

#include <functional>
#include <map>
#include <string>

#include "base/scoped_certificate.h"

// The report settings that the client writes to "VosselPRT.ini" in the temporary folder, and the
// paths of the tool's working files. The values are process-wide: the reader and the default
// settings write them, every later stage reads them through the static accessors.
class CApReportIni {
public:
    CApReportIni() = default;
    virtual ~CApReportIni() = default;

    CApReportIni(const CApReportIni&) = delete;
    CApReportIni& operator=(const CApReportIni&) = delete;

    // Reads everything once at the start of the run, logging each value. False only when the
    // client's window is missing, which ends the run. workingPathsKnown runs as soon as the paths
    // of the working files are settled: the run starts describing the machine there, beside the
    // rest of the reading.
    bool readReportSettings(const std::function<void()>& workingPathsKnown = {});

    // Looks the subject up in the current user's system store storeName; on success this object
    // holds the store and the certificate, and the encryption certificate is kept.
    bool findCertificate(std::wstring storeName, std::string subject);

    // True when the settings file can be opened for reading.
    static bool iniFileExists();
    static std::wstring getIniFilePath();

    static unsigned long getProcessId();
    static unsigned long getExceptionAddress();
    static unsigned long getExceptionThreadId();
    static bool isDumpFileDisabled();
    static bool isForensicsContactDataEnabled();
    static bool isDeleteLogsEnabled();
    static bool isPrtEncryptionEnabled();
    static std::wstring getLogDirectory();
    static std::wstring getProductMode();
    static std::wstring getCertificateName();
    static std::wstring getCommentFilePath();
    static std::wstring getMetadataFilePath();
    static std::wstring getGdiFilePath();
    // The temporary folder + "Vossel_Screenshot"; empty with default settings.
    static std::wstring getScreenshotPrefix();
    // Empty when there is no screenshot prefix; otherwise prefix + index + ".png".
    static std::wstring getScreenshotFilePath(int index);
    static std::wstring getDntDumpFilePath(bool is64Bit);
    static std::map<std::wstring, std::wstring> getAdditionalPrtPaths();

protected:
    // The process-wide values behind the accessors.
    struct Values {
        std::wstring iniFilePath;
        std::wstring logServerUrl;
        std::wstring problemReportToolOnPrem;
        bool dumpFileDisabled = false;
        bool forensicsContactDataEnabled = false;
        std::wstring logDirectory;
        unsigned long processId = 0;
        unsigned long exceptionAddress = 0;
        unsigned long exceptionThreadId = 0;
        std::wstring productMode;
        std::wstring productName;
        bool deleteLogsEnabled = false;
        bool prtEncryptionEnabled = false;
        std::wstring certificateName;
        std::wstring commentFilePath;
        std::wstring metadataFilePath;
        std::wstring gdiFilePath;
        std::wstring screenshotPrefix;
        std::wstring dntDumpFilePath;
        std::wstring dnt64DumpFilePath;
        std::map<std::wstring, std::wstring> additionalPrtPaths;
    };
    static Values& values();

    ScopedCertStore certStore_;
    ScopedCertContext certificate_;

private:
    // False when the run must go on without the further paths: no name, or no certificate.
    bool checkEncryptionCertificate();
    static void readAdditionalPrtPaths();
};
