#pragma once

// Writes the memory dumps of the client and of the sibling product's companion process; a cleared
// stage flag writes none.
void createDumpFiles(bool stageFlag);
