#pragma once
// Writing a file an operator named, such as the check's page, so that it is replaced whole or
// not at all: the new content goes to a temporary file beside it, which takes its name only
// once complete. A failed or interrupted run leaves the old file as it was, and nothing else.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "devhost/os/SystemCalls.h"

namespace devhost {

class FileReplacement {
 public:
  // Ready to write `target`: a regular file, or a name nothing has yet, is replaced, through
  // any symbolic link, keeping the old file's mode; a device or FIFO is written in place, as
  // replacing it would put a regular file where the device was, and the program's standard
  // output or error is written through its own stream. Null, with `error` for people ("it is a
  // folder", "Permission denied"), when `target` cannot be written.
  static std::unique_ptr<FileReplacement> Begin(const std::filesystem::path& target,
                                                std::string& error);

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement();  // an unfinished replacement is removed

  std::FILE* Stream() const { return stream_; }
  // Everything written reaches the file, and the file its name; the reason when not.
  std::optional<std::string> Finish();

 private:
  FileReplacement() = default;

  std::FILE* stream_ = nullptr;
  bool owns_stream_ = true;          // not the program's standard output or error
  std::filesystem::path temporary_;  // empty when written in place
  std::filesystem::path final_;
  std::optional<std::filesystem::perms> mode_;  // the replaced file's
  std::unique_ptr<RemovedOnSignal> removed_on_signal_;
};

// The file that `path` names once every symbolic link on the way is followed; it need not
// exist.
std::filesystem::path FollowedLinks(const std::filesystem::path& path);

}  // namespace devhost
