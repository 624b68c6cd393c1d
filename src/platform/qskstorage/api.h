#pragma once

// qskstorage.dll exports these declarations; everything else imports them.
#ifdef QSKSTORAGE_EXPORTS
#define QSKSTORAGE_API __declspec(dllexport)
#else
#define QSKSTORAGE_API __declspec(dllimport)
#endif
