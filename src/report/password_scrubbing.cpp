#include "report/password_scrubbing.h"

#include <cstdio>
#include <vector>

#include "base/diagnostic_log.h"
#include "base/scoped_stdio_file.h"
#include "platform/vosselutils/config_utils.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/config_text.h"

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

// The "<" and ">" of the tag that holds position, when it lies inside one.
bool tagAround(const std::wstring& text, size_t position, size_t& open, size_t& close)
{
    open = text.rfind(L'<', position);
    const size_t endBefore = text.rfind(L'>', position);
    if (open == std::wstring::npos || (endBefore != std::wstring::npos && endBefore > open)) {
        return false;
    }
    close = text.find(L'>', position);
    const size_t nextOpen = text.find(L'<', position);
    return close != std::wstring::npos && (nextOpen == std::wstring::npos || nextOpen > close);
}

std::wstring tagName(const std::wstring& text, size_t start)
{
    const size_t end = text.find_first_of(L" \t\r\n/>", start);
    return text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// Whether the key at opening lies in the opening tag and the key at closing in the closing tag of
// one element that holds only text: <...key...>value</...key...>. Only then does replacing what
// lies between them hide the value and nothing of it stays behind. Tag names are compared in the
// lower-case search copy.
bool isElementPair(const std::wstring& search, size_t opening, size_t closing)
{
    size_t openTagStart = 0;
    size_t openTagEnd = 0;
    size_t closeTagStart = 0;
    size_t closeTagEnd = 0;
    if (!tagAround(search, opening, openTagStart, openTagEnd) || !tagAround(search, closing, closeTagStart, closeTagEnd)
        || openTagEnd >= closeTagStart) {
        return false;
    }
    const wchar_t kind = search[openTagStart + 1];
    if (kind == L'/' || kind == L'?' || kind == L'!' || search[openTagEnd - 1] == L'/'
        || search[closeTagStart + 1] != L'/') {
        return false;
    }
    if (search.find(L'<', openTagEnd) != closeTagStart) {
        return false;
    }
    const std::wstring name = tagName(search, openTagStart + 1);
    const size_t closeNameEnd = closeTagStart + 2 + name.size();
    return !name.empty() && tagName(search, closeTagStart + 2) == name
        && search.find_first_not_of(L" \t\r\n", closeNameEnd) == closeTagEnd;
}

// The end of the logical properties line that holds position: a line whose last character is an
// odd run of backslashes goes on on the next line. Lone CRs end lines as LFs do.
size_t propertiesLineEnd(const std::wstring& text, size_t position)
{
    for (;;) {
        const size_t end = text.find_first_of(L"\r\n", position);
        if (end == std::wstring::npos) {
            return text.size();
        }
        size_t backslashes = 0;
        while (end - backslashes > position && text[end - backslashes - 1] == L'\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 0) {
            return end;
        }
        position = end + 1;
        if (text[end] == L'\r' && position < text.size() && text[position] == L'\n') {
            ++position;
        }
    }
}

} // namespace

std::wstring hidePasswordsInText(const std::wstring& original, const std::wstring& path, bool* wholeFileHidden)
{
    if (wholeFileHidden) {
        *wholeFileHidden = false;
    }
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
            // same line has already changed the line's length. Continuation lines of the value
            // go with it.
            text.replace(closing, propertiesLineEnd(text, closing + 1) - closing, replacement);
            if (closing == 0) {
                break;
            }
            bound = closing - 1;
            continue;
        }
        const size_t opening = closing == 0 ? std::wstring::npos : lastAtOrBefore(search, lowerKey, closing - 1);
        if (opening == std::wstring::npos || !isElementPair(search, opening, closing)) {
            if (wholeFileHidden) {
                *wholeFileHidden = true;
            }
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

std::wstring hidePasswordsInFile(const std::wstring& path, bool* wholeFileHidden)
{
    ScopedStdioFile file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        writeLogLine(L"ERROR: Failed to open " + path);
        return {};
    }
    std::string bytes;
    std::vector<char> chunk(65536);
    size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        bytes.append(chunk.data(), count);
    }
    const std::wstring text = decodeConfigText(bytes);
    return hidePasswordsInText(text, path, wholeFileHidden);
}

void CApReport::copyConfigDirectory(IReportSink& sink, const std::wstring& extension)
{
    const std::wstring pattern = vosselutils::toWideString(vosselutils::FileUtils::getConfigDirectory()) + L"\\*";
    writeLogLine(L"Copying Config directory from " + pattern + L" .");
    std::vector<std::wstring> files;
    vosselutils::FileUtils::getFilesFromDirectory(pattern, extension, files);
    for (const auto& path : files) {
        const std::wstring name = vosselutils::FileUtils::getFileName(path);
        bool wholeFileHidden = false;
        const std::wstring text = hidePasswordsInFile(path, &wholeFileHidden);
        const EntryOrigin origin{EntrySource::File,
            wholeFileHidden ? EntryTreatment::WholeFileHidden : EntryTreatment::Scrubbed, path};
        sink.addMemory(text.data(), static_cast<std::uint32_t>(text.size() * sizeof(wchar_t)), name, L"Config\\",
            origin);
        writeLogLine(L"Adding " + path + L" to zip.");
    }
}
