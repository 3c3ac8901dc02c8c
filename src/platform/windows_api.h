// Kept only for files_windows.cpp, which is about to move into windows/ with the other Windows
// files: the Windows API comes in through platform/windows/windows_api.h.
#pragma once

#include "platform/windows/windows_api.h"
