// Stand-in for the virtual-desktop client's "Quillet": whether this is a virtual desktop, and
// whether the media engine accepts the client's version, as the test's control file says.
#include <string>

#include "kib_double.h"

extern "C" __declspec(dllexport) int GetEnvironment()
{
    recordKibCall("Quillet|GetEnvironment");
    return kibAnswer(L"Quillet", L"GetEnvironment", 1);
}

// The version comes as a copy, as the virtual-desktop client's interface has it.
extern "C" __declspec(dllexport) int VerifyVersion(std::string version)
{
    recordKibCall("Quillet|VerifyVersion|" + version);
    return kibAnswer(L"Quillet", L"VerifyVersion", 0);
}
