#pragma once

// LumoCoreUtils.dll exports these declarations; everything else imports them.
#ifdef LUMOCOREUTILS_EXPORTS
#define LUMOCOREUTILS_API __declspec(dllexport)
#else
#define LUMOCOREUTILS_API __declspec(dllimport)
#endif
