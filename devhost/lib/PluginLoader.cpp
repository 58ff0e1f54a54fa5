#include "devhost/lib/PluginLoader.h"

#include <exception>
#include <filesystem>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <spdlog/logger.h>

#include "bridge/DllEntry.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/Text.h"

namespace devhost {
namespace {

std::vector<std::string> Utf8Names(const std::vector<std::u16string>& names) {
  std::vector<std::string> result;
  for (const auto& name : names) {
    result.push_back(Utf16ToUtf8(name));
  }
  return result;
}

// Everything that differs between the platforms' library loaders.
#if defined(_WIN32)
constexpr const char* kPluginFileName = "Quorvane.dll";

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(std::filesystem::u8path(path).wstring().c_str());
  if (module == nullptr) {
    const DWORD code = GetLastError();
    error = "cannot load " + path +
            (code == ERROR_DLL_INIT_FAILED ? ": its entry point returned FALSE" : "") + " (error " +
            std::to_string(code) + ")";
  }
  return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) {
  FreeLibrary(static_cast<HMODULE>(handle));
}
std::filesystem::path ModulePath(HMODULE module) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
  return std::filesystem::path(std::wstring(buffer, length));
}
std::filesystem::path ProgramFile() {
  return ModulePath(nullptr);
}
std::filesystem::path LibraryFile(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module)) {
    return {};
  }
  return ModulePath(module);
}
#else
constexpr const char* kPluginFileName = "Quorvane.so";

void* OpenLibrary(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error");
  }
  return handle;
}
void* FindSymbol(void* handle, const char* name) {
  return dlsym(handle, name);
}
void CloseLibrary(void* handle) {
  dlclose(handle);
}
std::filesystem::path ProgramFile() {
  std::error_code ignored;
  return std::filesystem::read_symlink("/proc/self/exe", ignored);
}
std::filesystem::path LibraryFile(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  return info.dli_fname;
}
#endif

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
  return (ProgramDir() / kPluginFileName).string();
}

}  // namespace devhost
