#pragma once
// The library's entry point. On Windows the loader calls DllMain; on Linux the host calls the
// exported function of the same name and signature after loading the library, with the same
// notification codes.

#include "bridge/DllEntry.h"
#include "bridge/Platform.h"

extern "C" QUORVANE_EXPORT BOOL WINAPI DllMain(HMODULE module, DWORD reason, LPVOID reserved);
