#pragma once

// Tells an administrator at a console how to call the tool; written to the standard error stream
// when the command line cannot be read, since the diagnostic log stays silent then.
void printUsage();
