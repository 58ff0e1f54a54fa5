#pragma once
// The library's entry point. On Windows the loader calls DllMain; on Linux the host calls the
// exported function of the same name and signature after loading the library, with the same
// notification codes.

#if defined(_WIN32)
#include <windows.h>
#else
using BOOL = int;
using DWORD = unsigned long;
using HMODULE = void*;
using LPVOID = void*;
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;
#define WINAPI
#endif
