#pragma once

// Writes the census of the client process's GDI objects to the GDI file.
void collectGdiHandles();
