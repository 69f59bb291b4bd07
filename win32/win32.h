#pragma once

// The Windows headers, as every file of the Win32 front end includes them:
// strict handle types, the wide API, nothing that clashes with the standard
// library.

#ifndef STRICT
#define STRICT
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>

// After <windows.h>, which it builds on.
#include <commctrl.h>
