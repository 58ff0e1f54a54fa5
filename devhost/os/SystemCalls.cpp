#include "devhost/os/SystemCalls.h"
#include "devhost/os/EndingSignals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace devhost {
namespace fs = std::filesystem;

namespace {

// Names nobody else is likely to pick; creating them exclusively makes sure of it.
std::string FreshSuffix() {
  static std::random_device random;
  static const char kDigits[] = "0123456789abcdef";
  std::string suffix;
  for (int i = 0; i < 12; ++i) {
    suffix += kDigits[random() % 16];
  }
  return suffix;
}

constexpr int kAttempts = 100;

#if defined(_WIN32)
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif

// What the signal handler removes: copies made before it is armed, never touched while armed.
constexpr std::size_t kMaxRemoved = 8;
NativeChar* removed_paths[kMaxRemoved] = {};
volatile std::sig_atomic_t removed_count = 0;

}  // namespace

#if defined(_WIN32)

std::FILE* OpenForWriting(const fs::path& path, bool keep) {
  return _wfopen(path.wstring().c_str(), keep ? L"r+b" : L"wb");
}

std::FILE* StandardStreamNamed(const fs::path& /*path*/) {
  return nullptr;  // Windows names its consoles and pipes apart from files
}

NewFile CreateNewFile(const fs::path& path, int /*mode*/) {
  NewFile file;
  file.path = path;
  const int fd =
      _wopen(path.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
             _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    file.error = std::error_code(errno, std::generic_category());
    return file;
  }
  file.stream = _fdopen(fd, "wb");
  if (file.stream == nullptr) {
    file.error = std::error_code(errno, std::generic_category());
    _close(fd);
    _wunlink(path.wstring().c_str());
  }
  return file;
}

std::error_code MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
  if (MoveFileExW(from.wstring().c_str(), to.wstring().c_str(), 0)) {
    return {};
  }
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
    return std::make_error_code(std::errc::file_exists);
  }
  return std::error_code(static_cast<int>(code), std::system_category());
}

fs::path TemporaryFolder() {
  std::error_code ignored;
  return fs::temp_directory_path(ignored);
}

fs::path CreatePrivateFolder(const fs::path& parent, const char* prefix, std::error_code& error) {
  // The user's own temporary folder is private to the user already.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path folder = parent / (std::string(prefix) + FreshSuffix());
    if (fs::create_directory(folder, error)) {
      return folder;
    }
    if (error) {
      return {};
    }
  }
  error = std::make_error_code(std::errc::file_exists);
  return {};
}

namespace {
void RemoveAndEnd(int signal) {
  for (std::sig_atomic_t i = 0; i < removed_count; ++i) {
    if (_wunlink(removed_paths[i]) != 0) {
      _wrmdir(removed_paths[i]);
    }
  }
  EndBySignal(signal);
}
using PreviousHandler = void (*)(int);
PreviousHandler previous_handlers[std::size(kEndingSignals)] = {};
}  // namespace

RemovedOnSignal::RemovedOnSignal(const std::vector<fs::path>& paths) {
  std::size_t count = 0;
  for (const fs::path& path : paths) {
    if (count < kMaxRemoved) {
      removed_paths[count++] = _wcsdup(path.wstring().c_str());
    }
  }
  // The handler reads the paths only once it sees the count.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  removed_count = static_cast<std::sig_atomic_t>(count);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    previous_handlers[i] = std::signal(kEndingSignals[i], RemoveAndEnd);
  }
}

RemovedOnSignal::~RemovedOnSignal() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    std::signal(kEndingSignals[i], previous_handlers[i]);
  }
  const std::sig_atomic_t count = removed_count;
  removed_count = 0;
  for (std::sig_atomic_t i = 0; i < count; ++i) {
    std::free(removed_paths[i]);
    removed_paths[i] = nullptr;
  }
}

void FailWritesInsteadOfEnding() {}

// Windows has no such reuse: a stream the program started without stays apart from every file
// it opens.
void FillClosedStandardDescriptors() {}

#else

std::FILE* OpenForWriting(const fs::path& path, bool keep) {
  return std::fopen(path.c_str(), keep ? "r+b" : "wb");
}

std::FILE* StandardStreamNamed(const fs::path& path) {
  struct stat named {};
  if (stat(path.c_str(), &named) != 0) {
    return nullptr;
  }
  for (std::FILE* stream : {stdout, stderr}) {
    struct stat standard {};
    if (fstat(fileno(stream), &standard) == 0 && standard.st_dev == named.st_dev &&
        standard.st_ino == named.st_ino) {
      return stream;
    }
  }
  return nullptr;
}

NewFile CreateNewFile(const fs::path& path, int mode) {
  NewFile file;
  file.path = path;
  const int fd =
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  if (fd < 0) {
    file.error = std::error_code(errno, std::generic_category());
    return file;
  }
  file.stream = fdopen(fd, "wb");
  if (file.stream == nullptr) {
    file.error = std::error_code(errno, std::generic_category());
    close(fd);
    unlink(path.c_str());
  }
  return file;
}

std::error_code MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
#if defined(__linux__) && defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return {};
  }
  // Older kernels and some file systems cannot; a hard link refuses an existing name as well.
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    return std::error_code(errno, std::generic_category());
  }
#endif
  if (link(from.c_str(), to.c_str()) != 0) {
    return std::error_code(errno, std::generic_category());
  }
  unlink(from.c_str());
  return {};
}

fs::path TemporaryFolder() {
  const char* named = std::getenv("TMPDIR");
  return named != nullptr && *named != '\0' ? fs::path(named) : fs::path("/tmp");
}

fs::path CreatePrivateFolder(const fs::path& parent, const char* prefix, std::error_code& error) {
  std::string name = (parent / (std::string(prefix) + "XXXXXX")).string();
  if (mkdtemp(name.data()) == nullptr) {
    error = std::error_code(errno, std::generic_category());
    return {};
  }
  error.clear();
  return name;
}

namespace {

extern "C" void RemoveAndEnd(int signal) {
  for (std::sig_atomic_t i = 0; i < removed_count; ++i) {
    if (unlink(removed_paths[i]) != 0) {
      rmdir(removed_paths[i]);
    }
  }
  EndBySignal(signal);
}

// What each ending signal did before.
struct sigaction previous_actions[std::size(kEndingSignals)] = {};

// A signal the program was started ignoring (a background job's SIGINT) stays ignored.
void Arm(int signal, struct sigaction& previous) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  previous = current;
  if (current.sa_handler == SIG_IGN) {
    return;
  }
  struct sigaction handler {};
  handler.sa_handler = RemoveAndEnd;
  sigemptyset(&handler.sa_mask);
  for (const int other : kEndingSignals) {
    sigaddset(&handler.sa_mask, other);
  }
  sigaction(signal, &handler, nullptr);
}

}  // namespace

RemovedOnSignal::RemovedOnSignal(const std::vector<fs::path>& paths) {
  std::size_t count = 0;
  for (const fs::path& path : paths) {
    if (count < kMaxRemoved) {
      removed_paths[count++] = strdup(path.c_str());
    }
  }
  // The handler reads the paths only once it sees the count.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  removed_count = static_cast<std::sig_atomic_t>(count);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    Arm(kEndingSignals[i], previous_actions[i]);
  }
}

RemovedOnSignal::~RemovedOnSignal() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    sigaction(kEndingSignals[i], &previous_actions[i], nullptr);
  }
  const std::sig_atomic_t count = removed_count;
  removed_count = 0;
  for (std::sig_atomic_t i = 0; i < count; ++i) {
    std::free(removed_paths[i]);
    removed_paths[i] = nullptr;
  }
}

void FailWritesInsteadOfEnding() {
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
}

void FillClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
      continue;
    }
    // Read-only: a write to it fails, which a writable /dev/null would hide.
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

#endif

NewFile CreateFileBeside(const fs::path& target, int mode) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    fs::path name = ".";
    name += target.filename();
    name += ".tmp" + FreshSuffix();
    NewFile file = CreateNewFile(target.parent_path() / name, mode);
    if (file.error != std::errc::file_exists) {
      return file;
    }
  }
  NewFile file;
  file.error = std::make_error_code(std::errc::file_exists);
  return file;
}

}  // namespace devhost
