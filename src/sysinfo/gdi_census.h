#pragma once

#include <string>

class CGdiProcessSource;

// Writes the census of the client process's GDI objects to the GDI file. An empty census (any
// failure, or a client that is not a 32-bit process on 64-bit Windows) writes nothing, so an
// older file at that path stays as it was. Nothing is logged.
void collectGdiHandles();

// Whether collectGdiHandles would write the GDI file now; nothing is written.
bool gdiCensusWouldWrite();

// The census of the process's GDI objects; empty on every failure.
std::wstring readGdiHandleTable(unsigned long processId);

// collectGdiHandles with the process seen through source and the file at path.
void collectGdiHandles(CGdiProcessSource& source, unsigned long processId, const std::wstring& path);
