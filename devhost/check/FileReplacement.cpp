#include "devhost/check/FileReplacement.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "devhost/present/Output.h"

namespace devhost {
namespace fs = std::filesystem;

namespace {

// Owner read and write only, until the content is complete and takes the old file's mode.
constexpr int kWhileWritten = 0600;
// A new file: what any other program's would get, the umask taken off.
constexpr int kNewFile = 0666;

}  // namespace

fs::path FollowedLinks(const fs::path& path) {
  fs::path current = path;
  // As many links as the system itself follows before it calls it a loop.
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) {
      return current;
    }
    const fs::path next = fs::read_symlink(current, error);
    if (error) {
      return current;
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return current;  // a loop: writing it fails and says so
}

std::unique_ptr<FileReplacement> FileReplacement::Begin(const fs::path& target,
                                                        std::string& error) {
  std::unique_ptr<FileReplacement> file(new FileReplacement);
  // Followed by the system itself, which knows links such as /dev/stdout best.
  std::error_code status_error;
  const fs::file_status status = fs::status(target, status_error);
  if (status_error && status_error != std::errc::no_such_file_or_directory) {
    error = status_error.message();
    return nullptr;
  }
  if (fs::is_directory(status)) {
    error = "it is a folder";
    return nullptr;
  }
  // The program's own output: the page follows what is written there, in order.
  if (std::FILE* standard = StandardStreamNamed(target)) {
    file->stream_ = standard;
    file->owns_stream_ = false;
    return file;
  }
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    errno = 0;
    file->stream_ = OpenForWriting(target);
    if (file->stream_ == nullptr) {
      error = SystemReason(errno, "it cannot be opened");
      return nullptr;
    }
    return file;
  }
  file->final_ = FollowedLinks(target);
  if (fs::exists(status)) {
    // A file the operator may not write is not replaced behind their back: asked as an
    // update, which changes nothing.
    errno = 0;
    std::FILE* probe = OpenForWriting(file->final_, /*keep=*/true);
    if (probe == nullptr) {
      error = SystemReason(errno, "it cannot be opened for writing");
      return nullptr;
    }
    std::fclose(probe);
    file->mode_ = status.permissions();
  }
  NewFile made = CreateFileBeside(file->final_, file->mode_ ? kWhileWritten : kNewFile);
  if (made.stream == nullptr) {
    error = made.error.message();
    return nullptr;
  }
  file->stream_ = made.stream;
  file->temporary_ = std::move(made.path);
  file->removed_on_signal_ =
      std::make_unique<RemovedOnSignal>(std::vector<fs::path>{file->temporary_});
  return file;
}

FileReplacement::~FileReplacement() {
  if (stream_ != nullptr && owns_stream_) {
    std::fclose(stream_);
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }
}

std::optional<std::string> FileReplacement::Finish() {
  const std::optional<std::string> failed = WriteFailure(stream_);
  if (!owns_stream_) {
    stream_ = nullptr;
    return failed;
  }
  ForgetStream(stream_);
  errno = 0;
  const bool closed = std::fclose(std::exchange(stream_, nullptr)) == 0;
  if (failed) {
    return failed;
  }
  if (!closed) {
    return SystemReason(errno, "a write failed");
  }
  if (temporary_.empty()) {
    return std::nullopt;
  }
  std::error_code error;
  if (mode_) {
    fs::permissions(temporary_, *mode_, error);
  }
  if (!error) {
    fs::rename(temporary_, final_, error);
  }
  if (error) {
    return error.message();
  }
  temporary_.clear();
  return std::nullopt;
}

}  // namespace devhost
