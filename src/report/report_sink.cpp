#include "report/report_sink.h"

const wchar_t* leftOutReasonText(LeftOutReason reason)
{
    switch (reason) {
    case LeftOutReason::CouldNotBeRead: return L"could not be read";
    case LeftOutReason::NotADiskFile: return L"not a disk file";
    case LeftOutReason::NoRoom: return L"no room";
    case LeftOutReason::NotWritten: return L"could not be written";
    case LeftOutReason::BelowConfigFolder: return L"below the client's configuration folder";
    case LeftOutReason::ContactsNotCollected: return L"contacts not collected";
    }
    return L"";
}

bool isLostMaterial(LeftOutReason reason)
{
    return reason != LeftOutReason::BelowConfigFolder && reason != LeftOutReason::ContactsNotCollected;
}
