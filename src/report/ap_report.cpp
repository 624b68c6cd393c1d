#include "report/ap_report.h"

#include <new>

CApReport::CApReport()
    // Without it no file can be copied; the add operation then reports the entry as failed.
    : readBuffer_(new (std::nothrow) unsigned char[kReadBufferSize])
{
}

CApReport::~CApReport() = default;
