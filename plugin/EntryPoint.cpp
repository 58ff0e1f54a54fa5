#include "plugin/EntryPoint.h"

#include <exception>

#include "bridge/Platform.h"
#include "plugin/PluginLogger.h"
#include "plugin/StartPlugin.h"

#if defined(_WIN32)
namespace {

void LogStartFailure(const char* message) {
  if (const auto& logger = PluginLogger()) {
    logger->error("{}", message);
  }
}

}  // namespace

// An exception leaving DllMain would cross the operating system's loader and take the whole
// server down. The start fails instead: LoadLibrary returns null and the host goes on.
extern "C" QUORVANE_EXPORT BOOL WINAPI DllMain(HMODULE /*module*/, DWORD reason,
                                               LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    try {
      StartPlugin();
    } catch (const std::exception& error) {
      if (!StartPluginLogged(error)) {
        LogStartFailure(error.what());
      }
      return FALSE;
    } catch (...) {
      LogStartFailure("unknown exception");
      return FALSE;
    }
  }
  return TRUE;
}
#else
// What StartPlugin throws is passed on to the host, which reports the failed start.
extern "C" QUORVANE_EXPORT BOOL WINAPI DllMain(HMODULE /*module*/, DWORD reason,
                                               LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    StartPlugin();
  }
  return 1;
}
#endif
