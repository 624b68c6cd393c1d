#include "app/run_sequence.h"

// The command line is read from the system by the option parser, not from argv.
int main()
{
    return runReportTool();
}
