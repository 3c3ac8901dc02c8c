// The Windows API for the Windows platform files and the Windows-only test helpers, included the
// same way everywhere: without windows.h's rarely used parts, and without its min and max macros,
// which would clash with the C++ library's.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
