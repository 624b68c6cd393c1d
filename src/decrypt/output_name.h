#pragma once

#include <string>

// Names that come from inside a report, which anyone holding the public certificate can make, are
// treated as hostile: they name files only when they are plain file names on Windows, whichever
// system the companion runs on (a report opened on Linux is often copied to Windows afterwards).

// Whether the UTF-8 text is one plain file name: valid UTF-8, not empty, "." or "..", no folder
// separator, colon (drive or stream), character that Windows forbids in names or control character,
// no trailing dot or space (which Windows drops, naming another file), and no device name
// (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM and LPT with any digit, superscripts included, whatever
// extension follows).
bool isPlainFileName(const std::string& name);

// The file name the plain report gets when support staff name no output: the last component of
// the name the report gives itself (NAME of NAME.enc), with ".zip" added unless it ends so. Empty
// when that component is not a plain file name.
std::string defaultOutputName(const std::string& reportName);

// The name with suffix put before its extension: "a.zip" + "-decrypted" gives "a-decrypted.zip".
std::string nameWithSuffix(const std::string& name, const std::string& suffix);
