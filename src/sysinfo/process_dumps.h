#pragma once

// Writes the memory dumps of the client and of the sibling product's companion process; a cleared
// stage flag writes none.
void createDumpFiles(bool stageFlag);

#include <string>

// The client's dump file in the crash-dump folder, once the dump stage has built its path; empty
// before.
std::wstring crashDumpFilePath();
