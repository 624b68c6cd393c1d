#include "report/ap_report.h"

int CApReport::collectReport()
{
    return 0;
}
