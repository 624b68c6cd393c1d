#pragma once

// Asks the running client to write out its report material and waits up to 8000 ms for it to
// confirm, unless the command line says "/flushed". False only when the client's window cannot
// be found, which ends the run.
bool requestClientFlush();
