#pragma once

#include <map>
#include <string>

#include "platform/vosselutils/api.h"

// Splits a Windows command line into options. A word that begins with "/" outside quotes is an
// option, kept exactly as written; the word after it is its value unless that word is an option
// too, in which case the value is empty. A quoted word is always a value ("/dev/null crashes").
// A later repeat of an option replaces the earlier one.
class VOSSELUTILS_API CWinCommandLineParser {
public:
    // commandLine null: the process's own command line. The first word is the program name; an
    // unquoted program path with blanks in it is recognised when it is this program's own.
    explicit CWinCommandLineParser(const wchar_t* commandLine);
    virtual ~CWinCommandLineParser();

    // False when a word stands where no option precedes it.
    bool init();
    const std::map<std::wstring, std::wstring>& getOptions() const;

private:
    std::wstring commandLine_;
    std::map<std::wstring, std::wstring> options_;
};
