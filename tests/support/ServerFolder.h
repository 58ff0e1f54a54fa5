#pragma once
// A server working directory under the system's temporary folder, removed at the end. Shared by
// the tests and the benchmarks.

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

class ServerFolder {
 public:
  ServerFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("quorvane-" + std::to_string(random()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(root_);
  }
  ServerFolder(const ServerFolder&) = delete;
  ServerFolder& operator=(const ServerFolder&) = delete;
  ~ServerFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::string Path() const { return root_.string(); }
  std::filesystem::path ConfigPath() const {
    return root_ / "ArkApi" / "Plugins" / "Quorvane" / "config.json";
  }
  // Writes config.json byte for byte (creating the plugin folder).
  void WriteConfig(std::string_view bytes) const {
    std::error_code ignored;
    if (std::filesystem::is_fifo(ConfigPath(), ignored)) {
      RemoveConfig();  // writing would wait for a reader
    }
    std::filesystem::create_directories(ConfigPath().parent_path());
    std::ofstream file(ConfigPath(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void RemoveConfig() const {
    std::error_code ignored;
    std::filesystem::remove(ConfigPath(), ignored);
  }
#if !defined(_WIN32)
  // Puts a FIFO where config.json belongs: opening it for reading waits for a writer.
  bool MakeConfigFifo() const {
    RemoveConfig();
    std::filesystem::create_directories(ConfigPath().parent_path());
    return mkfifo(ConfigPath().c_str(), 0600) == 0;
  }
#endif

 private:
  std::filesystem::path root_;
};

// A file's bytes, as stored.
inline std::string Bytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace test_support
