// VosselPRTDecrypt: turns an encrypted problem report back into the plain report archive, for
// support staff who hold the private key of the certificate the report was encrypted for.
//   VosselPRTDecrypt.exe REPORT.zip PRIVATE_KEY.pem [OUTPUT.zip]

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "base/scoped_handle.h"
#include "base/wiped_bytes.h"
#include "decrypt/output_name.h"
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

// The private key's text, read straight into one buffer of its size so that no copy of it is
// left behind unwiped; empty when the file cannot be read.
bool readKeyFile(const std::wstring& path, WipedBytes& key)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 20)) {
        return false;
    }
    key.bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return key.bytes.empty()
        || (ReadFile(file.get(), key.bytes.data(), static_cast<DWORD>(key.bytes.size()), &read, nullptr)
            && read == key.bytes.size());
}

// Whether both paths name one existing file (whatever the spelling: case, short names, links).
bool isSameFile(const std::wstring& one, const std::wstring& other)
{
    const auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        ScopedFileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
            nullptr));
        return file && GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    return identity(one, a) && identity(other, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber
        && a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool pathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

// Text from inside a report, made safe to print: control characters become "?".
std::string printable(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return text;
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
                   "report's own archive file name; an existing file is then never replaced.\n",
            stderr);
        return 2;
    }
    const std::wstring reportPath = argv[1];
    const auto report = readWholeFile(reportPath);
    if (!report) {
        return fail("cannot read the report " + LumoCoreUtils::toString(reportPath));
    }
    WipedBytes key(0);
    if (!readKeyFile(argv[2], key)) {
        return fail("cannot read the private key " + LumoCoreUtils::toString(argv[2]));
    }
    const DecryptedReport decrypted = decryptReport(*report,
        std::string_view(reinterpret_cast<const char*>(key.bytes.data()), key.bytes.size()));
    if (!decrypted.ok) {
        return fail(decrypted.error + "; nothing was written");
    }
    std::wstring output;
    if (argc == 4) {
        output = argv[3];
        if (isSameFile(output, reportPath)) {
            return fail("OUTPUT is the encrypted report itself; choose another name. Nothing was written");
        }
    } else {
        // The name comes from inside the report, which anyone holding the public certificate can
        // make: only a plain file name beside the report is taken, and nothing is replaced.
        const std::wstring name = defaultOutputName(LumoCoreUtils::toWideString(decrypted.name));
        if (name.empty()) {
            return fail("the report's own name \"" + printable(decrypted.name)
                + "\" is not a safe file name; give OUTPUT to choose one. Nothing was written");
        }
        const size_t slash = reportPath.find_last_of(L"\\/");
        const std::wstring folder = slash == std::wstring::npos ? std::wstring() : reportPath.substr(0, slash + 1);
        output = folder + name;
        if (isSameFile(output, reportPath)) {
            // The report kept its archive file name (its move to the output path failed).
            output = folder + nameWithSuffix(name, L"-decrypted");
        }
        if (pathExists(output)) {
            return fail(LumoCoreUtils::toString(output)
                + " already exists and is not replaced; give OUTPUT to choose where the report goes. Nothing was written");
        }
    }
    if (!writeOutput(output, decrypted.plainZip)) {
        return fail("cannot write " + LumoCoreUtils::toString(output) + "; nothing was written");
    }
    std::printf("VosselPRTDecrypt: wrote %s\n", LumoCoreUtils::toString(output).c_str());
    return 0;
}
