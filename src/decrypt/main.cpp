// VosselPRTDecrypt: turns an encrypted problem report back into the plain report archive, for
// support staff who hold the private key of the certificate the report was encrypted for.
//   VosselPRTDecrypt.exe REPORT.zip PRIVATE_KEY.pem [OUTPUT.zip]

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "decrypt/report_decryption.h"
#include "platform/lumocoreutils/text.h"

namespace {

std::optional<std::string> readWholeFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Written beside the target first and moved into place, so a failure leaves no partial report.
bool writeOutput(const std::wstring& path, const std::string& bytes)
{
    const std::wstring partial = path + L".partial";
    {
        std::ofstream out(partial.c_str(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            DeleteFileW(partial.c_str());
            return false;
        }
    }
    if (!MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "VosselPRTDecrypt: %s\n", message.c_str());
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3 || argc > 4) {
        std::fputs("Usage: VosselPRTDecrypt.exe REPORT.zip PRIVATE_KEY.pem [OUTPUT.zip]\n"
                   "Writes the plain report archive to OUTPUT.zip, by default beside REPORT.zip under the\n"
                   "report's own archive file name.\n",
            stderr);
        return 2;
    }
    const std::wstring reportPath = argv[1];
    const auto report = readWholeFile(reportPath);
    if (!report) {
        return fail("cannot read the report " + LumoCoreUtils::toString(reportPath));
    }
    const auto key = readWholeFile(argv[2]);
    if (!key) {
        return fail("cannot read the private key " + LumoCoreUtils::toString(argv[2]));
    }
    const DecryptedReport decrypted = decryptReport(*report, *key);
    if (!decrypted.ok) {
        return fail(decrypted.error + "; nothing was written");
    }
    std::wstring output;
    if (argc == 4) {
        output = argv[3];
    } else {
        const size_t slash = reportPath.find_last_of(L"\\/");
        output = (slash == std::wstring::npos ? std::wstring() : reportPath.substr(0, slash + 1))
            + LumoCoreUtils::toWideString(decrypted.name);
    }
    if (!writeOutput(output, decrypted.plainZip)) {
        return fail("cannot write " + LumoCoreUtils::toString(output) + "; nothing was written");
    }
    std::printf("VosselPRTDecrypt: wrote %s\n", LumoCoreUtils::toString(output).c_str());
    return 0;
}
