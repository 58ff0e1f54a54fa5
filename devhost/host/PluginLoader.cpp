#include "devhost/host/PluginLoader.h"

#include <exception>
#include <filesystem>

#include <spdlog/logger.h>

#include "bridge/DllEntry.h"
#include "devhost/host/Host.h"
#include "devhost/os/DynamicLibrary.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

std::vector<std::string> Utf8Names(const std::vector<std::u16string>& names) {
  std::vector<std::string> result;
  for (const auto& name : names) {
    result.push_back(Utf16ToUtf8(name));
  }
  return result;
}

DllEntryPoint EntryOf(void* handle) {
  return reinterpret_cast<DllEntryPoint>(FindSymbol(handle, "DllMain"));
}

}  // namespace

std::unique_ptr<LoadedPlugin> LoadedPlugin::Load(const std::string& path, StartReport& report) {
  Host& host = Host::Instance();
  report = StartReport{};
  host.Registry().SetOwner(path);

  // `unloaded`: the library is gone already, and with it the code of what it registered.
  // Abandoning is only a safety net now: the plugin registers nothing before a failed start.
  const auto fail = [&](const std::string& message, bool unloaded = false) {
    report.error = message;
    report.chat_commands = Utf8Names(host.Registry().ChatNames(&path));
    report.console_commands = Utf8Names(host.Registry().ConsoleNames(&path));
    host.Logger().error("plugin failed to start: {}", message);
    if (unloaded) {
      host.Registry().Abandon(path);
    } else {
      host.Registry().Withdraw(path);
    }
    host.Registry().SetOwner({});
  };

  std::string error;
  void* handle = OpenLibrary(path, error);
  if (handle == nullptr) {
    // On Windows a failed start ends here: the loader ran DllMain, which returned FALSE, and
    // unloaded the library again.
    fail(error, /*unloaded=*/true);
    return nullptr;
  }
  const DllEntryPoint entry = EntryOf(handle);
  if (entry == nullptr) {
    CloseLibrary(handle);
    fail(path + " has no DllMain entry point");
    return nullptr;
  }

  if (!kLoaderRunsEntryPoint) {
    try {
      entry(static_cast<HMODULE>(handle), DLL_PROCESS_ATTACH, nullptr);
    } catch (const std::exception& exception) {
      error = exception.what();
    } catch (...) {
      error = "unknown exception";
    }
    if (!error.empty()) {
      fail(error);
      entry(static_cast<HMODULE>(handle), DLL_PROCESS_DETACH, nullptr);
      CloseLibrary(handle);
      return nullptr;
    }
  }

  report.ok = true;
  report.chat_commands = Utf8Names(host.Registry().ChatNames(&path));
  report.console_commands = Utf8Names(host.Registry().ConsoleNames(&path));
  host.Registry().SetOwner({});
  return std::make_unique<LoadedPlugin>(Key(), path, handle);
}

LoadedPlugin::~LoadedPlugin() {
  if (!kLoaderRunsEntryPoint) {
    EntryOf(handle_)(static_cast<HMODULE>(handle_), DLL_PROCESS_DETACH, nullptr);
  }
  // The registry's copies of the callbacks hold code of this library: drop them first.
  Host::Instance().Registry().Withdraw(path_);
  CloseLibrary(handle_);
}

std::filesystem::path ProgramPath() {
  return ProgramFile();
}

std::filesystem::path ProgramDir() {
  return ProgramFile().parent_path();
}

std::filesystem::path HostLibraryPath() {
  // Any address inside this library names it.
  static const char kInThisLibrary = 0;
  return LibraryFile(&kInThisLibrary);
}

std::string DefaultPluginPath() {
  return (ProgramDir() / PluginFileName()).string();
}

}  // namespace devhost
