#include "report/ap_report.h"

void CApReport::addAdditionalFolders(zipFile, bool)
{
}

void CApReport::addConfigExport(zipFile)
{
}

void CApReport::copyConfigDirectory(zipFile, const std::wstring&)
{
}

void CApReport::addRawStackTrace(zipFile)
{
}

void CApReport::addLogFiles(zipFile)
{
}
