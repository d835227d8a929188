// lumora win32: <windows.h> without its min and max macros and its rarely used parts.
// Include it after the library's headers: some of its macros share names with the
// library's constants (WM_DESTROY, WM_KEYDOWN, VK_ESCAPE). Nothing on other systems.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
