#include "devhost/os/DynamicLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace devhost {

#if defined(_WIN32)
const char* PluginFileName() {
  return "Quorvane.dll";
}

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
namespace {
std::filesystem::path ModulePath(HMODULE module) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
  return std::filesystem::path(std::wstring(buffer, length));
}
}  // namespace
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
const char* PluginFileName() {
  return "Quorvane.so";
}

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

}  // namespace devhost
