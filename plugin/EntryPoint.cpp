#include "plugin/EntryPoint.h"

#include <exception>

#include "plugin/PluginLogger.h"
#include "plugin/StartPlugin.h"

namespace quorvane {
namespace {

void LogStartFailure(const char* message) {
  if (const auto& logger = PluginLogger()) {
    logger->error("{}", message);
  }
}

// Where the operating system's loader runs the entry point, an exception leaving it would cross
// the loader and take the whole server down: the start fails instead, LoadLibrary returns null
// and the host goes on. Elsewhere what StartPlugin throws goes to the host, which reports it.
BOOL StartInsideLoader() {
  try {
    StartPlugin();
  } catch (const std::exception& error) {
    if (!StartPluginLogged()) {
      LogStartFailure(error.what());
    }
    return FALSE;
  } catch (...) {
    LogStartFailure("unknown exception");
    return FALSE;
  }
  return TRUE;
}

}  // namespace
}  // namespace quorvane

extern "C" QUORVANE_EXPORT BOOL WINAPI DllMain(HMODULE /*module*/, DWORD reason,
                                               LPVOID /*reserved*/) {
  if (reason != DLL_PROCESS_ATTACH) {
    return TRUE;
  }
  if (kLoaderRunsEntryPoint) {
    return quorvane::StartInsideLoader();
  }
  quorvane::StartPlugin();
  return TRUE;
}
