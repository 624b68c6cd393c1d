#pragma once

#include <ostream>
#include <string>
#include <vector>

// The companion's verbs. Each takes the arguments after its verb (UTF-8), writes its result to out
// and what went wrong to err, and returns the exit status: 0 done, 1 failed (or, for verify, the
// report is not whole), 2 wrong arguments; verify returns 3 for an older report without a manifest
// whose structure and CRCs are right.

// decrypt REPORT KEY [OUTPUT] (and the old form without the verb): writes the plain report archive
// to OUTPUT, by default beside REPORT under the report's own archive file name, which then never
// replaces a file. The one output file is the only thing ever written.
int decryptCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// verify REPORT [KEY]: the zip structure, every entry's CRC-32, and every entry against the manifest.
int verifyCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// summary REPORT [KEY] [--json] [--html OUT.html]: the triage page on out, as text or JSON, or as
// a self-contained HTML file at the path given (which it replaces once the page is whole).
int summaryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// extract REPORT [KEY] DIR [--overwrite]: every entry into DIR, never outside it, never over an
// existing file unless --overwrite.
int extractCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The whole command line after the program's name.
int runCompanion(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
