#include "app/usage.h"

#include <cstdio>

void printUsage()
{
    std::fputs(
        "VosselPRT: the command line could not be read; no report was made.\n"
        "Usage: VosselPRT.exe [/option [value]]...\n"
        "  /file PATH          where the report goes (default: cmdlinePrt.zip in the temporary folder)\n"
        "  /overwrite 0|1      0 keeps an existing report file and makes no new one\n"
        "  /summary TEXT       first line of the comment\n"
        "  /comments TEXT      second line of the comment\n"
        "  /contact TEXT       third line of the comment\n"
        "  /ProblemArea TEXT   the area of the problem (default: other)\n"
        "  /attach PATH        a file to add to the report\n"
        "  /fulldump 0|1       0 writes no memory dumps\n"
        "  /dntdmp 0|1         0 does not dump the meeting companion process\n"
        "Every value follows its option as one word; quote values that hold spaces.\n",
        stderr);
}
