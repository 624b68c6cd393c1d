// VosselPRTDecrypt: the support staff's companion for problem reports; see companion_commands.h.

#include <iostream>
#include <string>
#include <vector>

#include "decrypt/companion_commands.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = runCompanion(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
