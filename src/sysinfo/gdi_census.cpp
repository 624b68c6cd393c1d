#include "sysinfo/gdi_census.h"

void collectGdiHandles()
{
}
