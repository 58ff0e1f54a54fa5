#include "config/ConfigFile.h"

#include <cerrno>
#include <system_error>

namespace quorvane {

namespace {

ConfigFileOpen Problem(ConfigFileProblem problem, std::string detail = {}) {
  ConfigFileOpen open;
  open.problem = problem;
  open.detail = std::move(detail);
  return open;
}

ConfigFileOpen ProblemOf(const std::error_code& error) {
  if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
    return Problem(ConfigFileProblem::NotFound);
  }
  if (error == std::errc::permission_denied) {
    return Problem(ConfigFileProblem::PermissionDenied);
  }
  return Problem(ConfigFileProblem::OtherError, error.message());
}

}  // namespace

std::string ConfigPathIn(std::string_view server_dir) {
  std::string path(server_dir);
  path += '/';
  path += kConfigFileInServer;
  return path;
}

ConfigFileOpen OpenConfigFile(const std::filesystem::path& path) {
  // Decided before opening: opening a FIFO blocks until a writer comes, and a device such as
  // /dev/zero never ends.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) {
    return ProblemOf(error);
  }
  if (status.type() == std::filesystem::file_type::directory) {
    return Problem(ConfigFileProblem::Folder);
  }
  if (status.type() != std::filesystem::file_type::regular) {
    return Problem(ConfigFileProblem::NotRegularFile);
  }
  errno = 0;
  ConfigFileOpen open;
  open.stream.open(path);  // text mode where the platform has one
  if (!open.stream.is_open()) {
    // The stream keeps no error of its own; the C library's is the only witness.
    const int code = errno;
    return code != 0 ? ProblemOf(std::error_code(code, std::generic_category()))
                     : Problem(ConfigFileProblem::OtherError, "the file could not be opened");
  }
  return open;
}

ConfigFileRead ReadConfigFile(const std::filesystem::path& path) {
  ConfigFileOpen open = OpenConfigFile(path);
  ConfigFileRead read;
  if (open.problem) {
    read.problem = open.problem;
    read.detail = std::move(open.detail);
    return read;
  }
  // Read in blocks: a character at a time cost more than the parse itself on large files.
  char block[16384];
  while (open.stream.read(block, sizeof block) || open.stream.gcount() > 0) {
    read.content.append(block, static_cast<std::size_t>(open.stream.gcount()));
  }
  return read;
}

}  // namespace quorvane
