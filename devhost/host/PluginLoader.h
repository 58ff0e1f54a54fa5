#pragma once
// Loads a plugin library the way the host does: open it, call its entry point with the
// process-attach code; at unload the process-detach code, then close it.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace devhost {

struct StartReport {
  bool ok = false;
  std::string error;  // why the plugin did not start
  // What the plugin registered; after a failed start, what it had registered before failing
  // (the host has withdrawn those).
  std::vector<std::string> chat_commands;
  std::vector<std::string> console_commands;
};

class LoadedPlugin {
 public:
  // Null when the plugin could not be loaded or failed to start: the host has logged
  // "plugin failed to start: " and the message, withdrawn its commands and unloaded it.
  static std::unique_ptr<LoadedPlugin> Load(const std::string& path, StartReport& report);

  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;
  ~LoadedPlugin();

  const std::string& Path() const { return path_; }

  // Only Load can make the key, so only Load makes a LoadedPlugin.
  class Key {
    friend class LoadedPlugin;
    Key() = default;
  };
  LoadedPlugin(Key, std::string path, void* handle) : path_(std::move(path)), handle_(handle) {}

 private:
  std::string path_;
  void* handle_;
};

// The running program's file, and its folder: the development host's tools live beside it.
std::filesystem::path ProgramPath();
std::filesystem::path ProgramDir();

// The host library's own file, wherever the system loaded it from; empty when unknown.
std::filesystem::path HostLibraryPath();

// The plugin built next to the running program, found from the program's own location.
std::string DefaultPluginPath();

}  // namespace devhost
