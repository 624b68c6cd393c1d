#include "settings/ap_report_ini.h"

bool CApReportIni::readReportSettings()
{
    return true;
}
