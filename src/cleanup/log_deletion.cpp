#include "cleanup/log_deletion.h"

void cleanUpAfterReport()
{
}
