#pragma once

// "/preview": the tool lists what a report made now would hold, in its order, with each entry's
// source, size and treatment, and what it would leave out and why, and ends there. It makes no
// report and no dump, asks the client for nothing, starts no worker, deletes nothing and writes
// no diagnostic log. "/preview json" gives the manifest's shape without checksums.

enum class PreviewKind { None, Text, Json };

// What the process's command line asks for, by the option parser's rules.
PreviewKind previewRequested();

void runPreview(PreviewKind kind);
