#include "report/ap_report.h"

CApReport::CApReport()
{
    // Both exports are taken now, once: what the client changes later does not reach the report.
    getServiceText(0);
    getServiceText(1);
}

CApReport::~CApReport() = default;
