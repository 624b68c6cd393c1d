#include "report/ap_report.h"

#include <new>

CApReport::CApReport()
    // Without it no file can be copied; the add operation then reports the entry as failed.
    : readBuffer_(new (std::nothrow) unsigned char[kReadBufferSize])
{
    // Both exports are taken now, once: what the client changes later does not reach the report.
    getServiceText(0);
    getServiceText(1);
}

CApReport::~CApReport() = default;
