// Stand-in for the virtual-desktop client's "Skerrit": asks the media engine to collect or delete
// its logs and gives the status the test's control file says.
#include <string>

#include "kib_double.h"

extern "C" __declspec(dllexport) int CollectLogs(const char* folder, int first, int second)
{
    recordKibCall("Skerrit|CollectLogs|" + std::string(folder ? folder : "(null)") + "|" + std::to_string(first)
        + "|" + std::to_string(second));
    return kibAnswer(L"Skerrit", L"CollectLogs", 0);
}

extern "C" __declspec(dllexport) int DeleteLogs(int timeout)
{
    recordKibCall("Skerrit|DeleteLogs|" + std::to_string(timeout));
    return kibAnswer(L"Skerrit", L"DeleteLogs", 0);
}
