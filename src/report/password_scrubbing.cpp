#include "report/password_scrubbing.h"

#include <cstdio>
#include <vector>

#include "app/diagnostic_log.h"
#include "base/scoped_stdio_file.h"
#include "platform/vosselutils/config_utils.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"

namespace {

bool isPropertiesPath(const std::wstring& path)
{
    const size_t dot = path.find_last_of(L'.');
    return dot != std::wstring::npos && path.compare(dot + 1, std::wstring::npos, L"properties") == 0;
}

// The last occurrence of key in text that begins at or before bound.
size_t lastAtOrBefore(const std::wstring& text, const std::wstring& key, size_t bound)
{
    return text.rfind(key, bound);
}

} // namespace

std::wstring hidePasswordsInText(const std::wstring& original, const std::wstring& path)
{
    using vosselutils::ConfigUtils;
    std::wstring text = original;
    const std::wstring search = vosselutils::toLowercase(text);
    const std::wstring key = ConfigUtils::DontLog::AD_Password_Key();
    const std::wstring hidden = ConfigUtils::DontLog::Hidden_Password();
    const std::wstring lowerKey = vosselutils::toLowercase(key);
    const bool properties = isPropertiesPath(path);
    const std::wstring replacement = properties ? key + L": " + hidden : key + L">" + hidden + L"</";

    // From the end towards the start: every replacement lies at or after the occurrence being
    // handled, so the positions found in the unchanged search copy still hold to its left.
    size_t bound = std::wstring::npos;
    for (;;) {
        const size_t closing = lastAtOrBefore(search, lowerKey, bound);
        if (closing == std::wstring::npos) {
            break;
        }
        if (properties) {
            // The line end is looked up in the text as changed so far: a later occurrence on the
            // same line has already changed the line's length.
            const size_t lineEnd = text.find(L'\n', closing + 1);
            const size_t count = (lineEnd == std::wstring::npos ? text.size() : lineEnd) - closing;
            text.replace(closing, count, replacement);
            if (closing == 0) {
                break;
            }
            bound = closing - 1;
            continue;
        }
        const size_t opening = closing == 0 ? std::wstring::npos : lastAtOrBefore(search, lowerKey, closing - 1);
        if (opening == std::wstring::npos) {
            return L"Invalid XML: " + path + L" contained uneven number of " + key
                + L" tags. There needs to be an opening and closing element. Hiding whole file to protect password";
        }
        text.replace(opening, closing - opening, replacement);
        if (opening == 0) {
            break;
        }
        bound = opening - 1;
    }
    return text;
}

std::wstring hidePasswordsInFile(const std::wstring& path)
{
    ScopedStdioFile file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        writeLogLine(L"ERROR: Failed to open " + path);
        return {};
    }
    // Each byte is one character of the same value; CR LF becomes LF, as a text-mode read gives it.
    std::wstring text;
    std::vector<unsigned char> chunk(65536);
    bool pendingCarriageReturn = false;
    size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        for (size_t i = 0; i < count; ++i) {
            const wchar_t c = chunk[i];
            if (pendingCarriageReturn && c != L'\n') {
                text += L'\r';
            }
            pendingCarriageReturn = c == L'\r';
            if (!pendingCarriageReturn) {
                text += c;
            }
        }
    }
    if (pendingCarriageReturn) {
        text += L'\r';
    }
    return hidePasswordsInText(text, path);
}

void CApReport::copyConfigDirectory(zipFile archive, const std::wstring& extension)
{
    const std::wstring pattern = vosselutils::toWideString(vosselutils::FileUtils::getConfigDirectory()) + L"\\*";
    writeLogLine(L"Copying Config directory from " + pattern + L" .");
    std::vector<std::wstring> files;
    vosselutils::FileUtils::getFilesFromDirectory(pattern, extension, files);
    for (const auto& path : files) {
        const std::wstring name = vosselutils::FileUtils::getFileName(path);
        const std::wstring text = hidePasswordsInFile(path);
        addMemoryToArchive(archive, text.data(), static_cast<std::uint32_t>(text.size() * sizeof(wchar_t)), name,
            L"Config\\");
        writeLogLine(L"Adding " + path + L" to zip.");
    }
}
