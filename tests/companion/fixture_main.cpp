// Writes the demo-like fixture report to the path given, for the browser test of the HTML page.

#include <cstdio>

#include "fixture_report.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: companion_fixture REPORT.zip\n", stderr);
        return 2;
    }
    return writeZip(argv[1], demoLikeReport("Vossel-Win-12.6.0.1234-20261209_115959-Windows_10_Enterprise.zip")) ? 0 : 1;
}
