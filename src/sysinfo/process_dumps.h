#pragma once

#include <windows.h>
#include <dbghelp.h>

#include <string>
#include <vector>

// The memory dumps of the client and of the sibling meeting product's companion process, taken
// before the report is assembled. Every failure is logged and the run goes on.

// Writes the companion process's dump (when asked for and one is running), then the client's, into
// the crash-dump folder. A cleared stage flag writes none and logs nothing.
void createDumpFiles(bool stageFlag);

// Writes a full dump of the process to filePath, with the exception record when one is given. An
// existing complete dump at filePath is kept and used; any other file there is replaced. The dump
// is written beside filePath and takes its name only when it is whole. When it cannot be written a
// message box asks the user to make one by hand; an incomplete file that is still there afterwards
// stays out of the report.
void createDumpFileForProcess(unsigned long processId, const std::wstring& filePath,
    const MINIDUMP_EXCEPTION_INFORMATION* exceptionRecord);

// Has the dump program "x64\Ravik.exe" beside the tool write a full dump of a 64-bit process; its
// output goes to the diagnostic log. The program writes beside filePath, and its dump takes that
// name only when the program succeeded within its time and the dump is whole.
void createDumpFileFor64BitProcess(unsigned long processId, const std::wstring& filePath);

// The client's dump file name in the crash-dump folder.
inline constexpr wchar_t kClientDumpFileName[] = L"fulldump.dmp";

// Local application data + "\Ormel\Merovan\Vossel\Crash Dump\" + fileName, with the folder made;
// remembered as the crash dump file path.
std::wstring getCrashDumpFilePath(const std::wstring& fileName);

// The dump files createDumpFiles would write, in its order, without writing them or making their
// folder; the crash dump file path is set as the stage sets it. For a run that only looks.
std::vector<std::wstring> planDumpFiles(bool stageFlag);

// The crash-dump folder, ending in a backslash, as the dump stage will use it; nothing is made.
std::wstring crashDumpFolder();

// The client's dump file in the crash-dump folder, once the dump stage has built its path; empty
// before.
std::wstring crashDumpFilePath();

// "Exception Info: (ThreadId)" thread ", (ExceptionPointers)" address in eight upper-case
// hexadecimal digits ", (ClientPointers)1".
std::wstring formatExceptionInfo(unsigned long threadId, unsigned long exceptionPointers);
