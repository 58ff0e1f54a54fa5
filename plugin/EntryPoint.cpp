#include "plugin/EntryPoint.h"

#include "bridge/Platform.h"
#include "plugin/StartPlugin.h"

// What StartPlugin throws is passed on to the host, which reports the failed start.
extern "C" QUORVANE_EXPORT BOOL WINAPI DllMain(HMODULE /*module*/, DWORD reason,
                                                LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    StartPlugin();
  }
  return 1;
}
