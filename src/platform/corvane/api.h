#pragma once

// Corvane.dll exports these declarations; everything else imports them.
#ifdef CORVANE_EXPORTS
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif
