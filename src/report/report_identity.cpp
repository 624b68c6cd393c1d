#include "report/ap_report.h"

void CApReport::writeUserComment(const std::wstring&)
{
}

void CApReport::setProblemArea(const std::wstring&)
{
}
