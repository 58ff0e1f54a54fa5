#pragma once
// Where config.json lives under a server folder, and how it is read: only a regular file is
// ever opened, so a FIFO or a device in its place cannot block or flood the reader.

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The file, relative to the server's working directory, with forward slashes on every platform.
inline constexpr std::string_view kConfigFileInServer = "ArkApi/Plugins/Quorvane/config.json";

// `server_dir` + "/" + kConfigFileInServer, nothing trimmed or normalised.
std::string ConfigPathIn(std::string_view server_dir);

// Why a config.json could not be read.
enum class ConfigFileProblem {
  NotFound,
  Folder,
  NotRegularFile,  // a FIFO, device or socket, after following symbolic links
  PermissionDenied,
  OtherError,  // anything else the system reports; ReadConfigFile's `detail` says what
};

struct ConfigFileRead {
  std::string content;                       // the whole file, read in text mode
  std::optional<ConfigFileProblem> problem;  // set when nothing could be read
  std::string detail;                        // the system's own words, for OtherError
};

struct ConfigFileOpen {
  std::ifstream stream;                      // open for reading, in text mode, unless `problem`
  std::optional<ConfigFileProblem> problem;  // set when the file was not opened
  std::string detail;                        // the system's own words, for OtherError
};

// Opens the file at `path` when, after following symbolic links, it is a regular file.
ConfigFileOpen OpenConfigFile(const std::filesystem::path& path);
// The same, read whole.
ConfigFileRead ReadConfigFile(const std::filesystem::path& path);

}  // namespace quorvane
