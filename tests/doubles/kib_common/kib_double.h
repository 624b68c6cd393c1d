#pragma once

#include <string>

// What the virtual-desktop client's library doubles share: they live in a folder that a test
// makes (the "Kib" installation folder), take their answers from "kib-double.ini" there and
// append every call, with its arguments, as one line "Library|Function|argument|..." to
// "kib-calls.txt" there.

// The answer of [library] key in the control file; fallback when it is not given.
int kibAnswer(const wchar_t* library, const wchar_t* key, int fallback);

// Appends the call's line to the record.
void recordKibCall(const std::string& line);
