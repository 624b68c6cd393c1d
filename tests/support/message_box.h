#pragma once

#include <windows.h>

// The message box that a process shows now (a visible dialog window it owns); null when there is
// none.
HWND findMessageBoxOf(DWORD processId);
