#include "settings/ap_report_ini.h"

bool CApReportIni::findCertificate(std::wstring, std::string)
{
    return false;
}
