#pragma once

// Returns when the system-information worker has ended; does nothing when none was started.
void waitForSystemInfoThread();
