#pragma once
// The platform's library loader, and which file the running code came from.

#include <filesystem>
#include <string>

namespace devhost {

// The plugin library's file name on this platform.
const char* PluginFileName();

// Null, with `error` saying why, when the library cannot be loaded (or, on Windows, its entry
// point returned FALSE).
void* OpenLibrary(const std::string& path, std::string& error);
void* FindSymbol(void* handle, const char* name);
void CloseLibrary(void* handle);

std::filesystem::path ProgramFile();
// The library holding `address`; empty when unknown.
std::filesystem::path LibraryFile(const void* address);

}  // namespace devhost
