#include "sysinfo/system_info_worker.h"

void waitForSystemInfoThread()
{
}
