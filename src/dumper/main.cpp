// Ravik.exe: writes a full memory dump of a 64-bit process, for the 32-bit problem report tool,
// which cannot dump a 64-bit process itself. The tool reads what it prints into its log.
//   Ravik.exe PROCESS_ID DUMP_FILE     exit 0: dump written, 1: it failed, 2: bad arguments

#include <cstdio>

#include "full_dump.h"
#include "ravik_arguments.h"

int wmain(int argc, wchar_t** argv)
{
    const auto arguments = parseRavikArguments(argc, argv);
    if (!arguments) {
        std::fputs("usage: Ravik.exe PROCESS_ID DUMP_FILE (the process identifier in decimal)\n", stdout);
        std::fflush(stdout);
        return 2;
    }
    return writeFullDump(arguments->processId, arguments->dumpFilePath, stdout) ? 0 : 1;
}
