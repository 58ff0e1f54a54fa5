#pragma once
// The library entry point as the plugin defines it and the host calls it: "DllMain", with the
// Windows signature and notification codes on every platform.

#if defined(_WIN32)
#include <windows.h>

// Windows' own loader runs DllMain inside LoadLibrary, so nothing may leave it by exception.
inline constexpr bool kLoaderRunsEntryPoint = true;
#else
using BOOL = int;
using DWORD = unsigned long;
using HMODULE = void*;
using LPVOID = void*;
#define WINAPI
inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

// The host calls DllMain itself after loading the library, and reports what it throws.
inline constexpr bool kLoaderRunsEntryPoint = false;
#endif

using DllEntryPoint = BOOL(WINAPI*)(HMODULE module, DWORD reason, LPVOID reserved);
