#include "app/run_sequence.h"

// The command line is read from the system by the option parser, not from argv.
int main()
{
    // The exit status carries no meaning: 0 on every path, even one no stage saw coming.
    try {
        return runReportTool();
    } catch (...) {
        return 0;
    }
}
