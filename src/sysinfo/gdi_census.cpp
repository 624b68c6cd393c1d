#include "sysinfo/gdi_census.h"

#include <windows.h>

#include "base/scoped_handle.h"
#include "base/unicode_text_file.h"
#include "settings/ap_report_ini.h"
#include "sysinfo/gdi_handle_table.h"
#include "sysinfo/wow64_process_source.h"

std::wstring readGdiHandleTable(unsigned long processId)
{
    ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) {
        return {};
    }
    CWow64ProcessSource source(process.get());
    return readGdiHandleTable(source, processId);
}

void collectGdiHandles()
{
    writeUnicodeTextFile(CApReportIni::getGdiFilePath(), readGdiHandleTable(CApReportIni::getProcessId()));
}

void collectGdiHandles(CGdiProcessSource& source, unsigned long processId, const std::wstring& path)
{
    writeUnicodeTextFile(path, readGdiHandleTable(source, processId));
}
