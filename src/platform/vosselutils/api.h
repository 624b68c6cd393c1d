#pragma once

// VosselUtils.dll exports these declarations; everything else imports them.
#ifdef VOSSELUTILS_EXPORTS
#define VOSSELUTILS_API __declspec(dllexport)
#else
#define VOSSELUTILS_API __declspec(dllimport)
#endif
