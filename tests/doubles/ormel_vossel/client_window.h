#pragma once

#include "double_options.h"

// Creates the client's main window (class "ptk_manager1", title "Ormel Vossel") and runs its
// message loop until the window is closed or the double's time is up. Returns the exit code.
int runClientWindow(const DoubleOptions& options);
