#pragma once

#include <string>

// ctest keeps only the head and the tail of a long test output, and a failure's details fall in
// between. Every failed assertion is therefore told once more when the test program ends, with
// the notes that failing tests left for it (the tool's diagnostic log, say).
//
// Adds note, under the name of the running test, to what is told at the end.
void addFailureNote(const std::string& note);
