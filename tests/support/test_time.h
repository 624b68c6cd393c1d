#pragma once

#include <windows.h>

// A local time for tests that format or compare dates.
inline SYSTEMTIME makeSystemTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    return time;
}
