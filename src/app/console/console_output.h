#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// What the tool says to a person at a console: the help, its progress on the standard error
// stream and its closing line on the standard output. None of it reaches the diagnostic log.

// Where one of the tool's standard streams leads.
enum class ConsoleStreamKind {
    // No usable handle: the client starts the tool without a console and without redirection.
    None,
    // A console window: text goes in as Unicode, and a line may be redrawn in place.
    Console,
    // A file or a pipe: text goes in the console's code page, or UTF-8 when there is no console.
    Redirected,
};

// The decision alone: whether the handle is set at all, its GetFileType and whether the console
// accepted GetConsoleMode for it. A handle whose type is unknown is one the tool cannot use.
ConsoleStreamKind classifyConsoleStream(bool handleSet, DWORD fileType, bool consoleModeRead);

// The kind of STD_OUTPUT_HANDLE or STD_ERROR_HANDLE, looked at once and kept for the process.
ConsoleStreamKind consoleStreamKind(DWORD stdHandleId);

// The bytes a redirected stream receives for text: the code page's, "?" for what it cannot hold.
std::string encodeForRedirectedStream(std::wstring_view text, UINT codePage);

// Writes text as it stands (the caller brings its own line ends) to the standard stream; nothing
// when the stream is None. Never fails towards the caller.
void writeConsoleText(DWORD stdHandleId, std::wstring_view text);
