#include "platform/vosselutils/command_line_parser.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/module_path.h"

namespace {

struct Word {
    std::wstring text;
    // Begins with a "/" outside quotes: only such a word names an option. A quoted word is always
    // a value, whatever it begins with.
    bool option = false;
};

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool startsWithPath(const std::wstring& line, const std::wstring& path)
{
    return !path.empty() && line.size() >= path.size()
        && CompareStringOrdinal(line.c_str(), static_cast<int>(path.size()), path.c_str(),
               static_cast<int>(path.size()), TRUE) == CSTR_EQUAL
        && (line.size() == path.size() || isBlank(line[path.size()]));
}

// Where the program name ends. Quoted, at its closing quote. Unquoted, a path with blanks in it
// (C:\Program Files\...) is still the program's when it is this program's own path, with or
// without its extension; any other unquoted name ends at the first blank, as the system reads it.
size_t programNameEnd(const std::wstring& line)
{
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        return close == std::wstring::npos ? line.size() : close + 1;
    }
    const std::wstring module = clientlibs::runningProgramPath();
    const size_t dot = module.find_last_of(L'.');
    const size_t slash = module.find_last_of(L"\\/");
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    for (const std::wstring& name : {module, hasExtension ? module.substr(0, dot) : std::wstring()}) {
        if (startsWithPath(line, name)) {
            return name.size();
        }
    }
    size_t end = 0;
    while (end < line.size() && !isBlank(line[end])) {
        ++end;
    }
    return end;
}

// The words after the program name, by the rules Windows programs use (CommandLineToArgvW):
// blanks outside quotes separate words; 2n backslashes before a quote give n backslashes and the
// quote opens or closes a quoted part, 2n+1 give n backslashes and a literal quote; a third quote
// in a row inside quotes gives a literal quote.
std::vector<Word> splitArguments(const std::wstring& line, size_t position)
{
    std::vector<Word> words;
    const size_t size = line.size();
    while (position < size && isBlank(line[position])) {
        ++position;
    }
    while (position < size) {
        Word word;
        word.option = line[position] == L'/';
        size_t backslashes = 0;
        int quotes = 0;
        while (position < size && !(isBlank(line[position]) && quotes == 0)) {
            const wchar_t c = line[position++];
            if (c == L'\\') {
                word.text += c;
                ++backslashes;
                continue;
            }
            if (c != L'"') {
                word.text += c;
                backslashes = 0;
                continue;
            }
            if (backslashes % 2 == 0) {
                word.text.erase(word.text.size() - backslashes / 2);
                ++quotes;
            } else {
                word.text.erase(word.text.size() - backslashes / 2 - 1);
                word.text += L'"';
            }
            backslashes = 0;
            while (position < size && line[position] == L'"') {
                ++position;
                if (++quotes == 3) {
                    word.text += L'"';
                    quotes = 0;
                }
            }
            if (quotes == 2) {
                quotes = 0;
            }
        }
        words.push_back(std::move(word));
        while (position < size && isBlank(line[position])) {
            ++position;
        }
    }
    return words;
}

} // namespace

CWinCommandLineParser::CWinCommandLineParser(const wchar_t* commandLine)
    : commandLine_(commandLine ? commandLine : GetCommandLineW())
{
}

CWinCommandLineParser::~CWinCommandLineParser() = default;

bool CWinCommandLineParser::init()
{
    options_.clear();
    const std::vector<Word> words = splitArguments(commandLine_, programNameEnd(commandLine_));
    for (size_t i = 0; i < words.size(); ++i) {
        if (!words[i].option) {
            return false;
        }
        const std::wstring& name = words[i].text;
        std::wstring value;
        if (i + 1 < words.size() && !words[i + 1].option) {
            value = words[++i].text;
        }
        options_[name] = value;
    }
    return true;
}

const std::map<std::wstring, std::wstring>& CWinCommandLineParser::getOptions() const
{
    return options_;
}
