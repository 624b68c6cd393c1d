#pragma once

#include <string>

// Settings that only tests and the benchmark give, through VOSSEL_PRT_TEST_* environment
// variables, so that a run can be made to show what a real machine shows only rarely (a slow
// program, a full address space). A user's run sets none of them.

// The variable's text; empty when it is not set or is longer than any setting needs.
std::wstring testSetting(const wchar_t* name);

// The variable as a positive whole number; 0 when it is not set or is not one.
unsigned long long testSettingNumber(const wchar_t* name);
