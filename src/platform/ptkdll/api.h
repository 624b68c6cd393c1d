#pragma once

// PTKDll.dll exports these declarations; everything else imports them.
#ifdef PTKDLL_EXPORTS
#define PTKDLL_API __declspec(dllexport)
#else
#define PTKDLL_API __declspec(dllimport)
#endif
