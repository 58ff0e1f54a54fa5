#include "devhost/os/FileWatch.h"
#include "devhost/os/EndingSignals.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;
#endif

namespace devhost {
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// How often a missing folder, or on Windows the file, is looked at.
constexpr std::chrono::milliseconds kLookAgain{250};

volatile std::sig_atomic_t received_signal = 0;

std::string Reason(int code) {
  return std::error_code(code, std::generic_category()).message();
}

}  // namespace

int StopSignals::Received() {
  return received_signal;
}

void StopSignals::EndBy(int signal) {
  EndBySignal(signal);
}

#if defined(_WIN32)

namespace {

using Handler = void (*)(int);
Handler previous_handlers[std::size(kEndingSignals)] = {};

void Remember(int signal) {
  if (received_signal == 0) {
    received_signal = signal;
  }
  std::signal(signal, Remember);  // the C runtime puts back the default before each call
}

// The file as the last look saw it: a change to any of these is a change to the file.
struct Look {
  fs::file_type type = fs::file_type::none;
  std::uintmax_t size = 0;
  fs::file_time_type written{};
  bool operator==(const Look& other) const {
    return type == other.type && size == other.size && written == other.written;
  }
};

Look LookAt(const fs::path& file) {
  Look look;
  std::error_code error;
  look.type = fs::status(file, error).type();
  if (look.type == fs::file_type::regular) {
    look.size = fs::file_size(file, error);
    look.written = fs::last_write_time(file, error);
  }
  return look;
}

class PollingWatch : public FileWatch {
 public:
  explicit PollingWatch(fs::path file) : file_(std::move(file)), seen_(LookAt(file_)) {}

  bool WaitForChange(std::chrono::milliseconds quiet) override {
    bool changed = false;
    Clock::time_point last_change{};
    for (;;) {
      if (StopSignals::Received() != 0) {
        return false;
      }
      const Look now = LookAt(file_);
      if (!(now == seen_)) {
        seen_ = now;
        changed = true;
        last_change = Clock::now();
      } else if (changed && Clock::now() - last_change >= quiet) {
        return true;
      }
      Sleep(static_cast<DWORD>(kLookAgain.count()));
    }
  }

 private:
  fs::path file_;
  Look seen_;
};

// One argument as the C runtime's command line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  for (auto at = argument.begin();; ++at) {
    std::size_t backslashes = 0;
    while (at != argument.end() && *at == L'\\') {
      ++at;
      ++backslashes;
    }
    if (at == argument.end()) {
      quoted.append(backslashes * 2, L'\\');  // before the closing quote
      break;
    }
    if (*at == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    quoted.push_back(*at);
  }
  quoted.push_back(L'"');
  return quoted;
}

}  // namespace

StopSignals::StopSignals() {
  received_signal = 0;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    previous_handlers[i] = std::signal(kEndingSignals[i], Remember);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    std::signal(kEndingSignals[i], previous_handlers[i]);
  }
}

std::unique_ptr<FileWatch> FileWatch::Start(const fs::path& file, std::string& /*error*/) {
  return std::make_unique<PollingWatch>(file);
}

ChildEnd RunChildProgram(const fs::path& program, const std::vector<std::string>& arguments) {
  // The console's Ctrl-C reaches the child as well: waiting for it is passing it on.
  std::vector<std::wstring> quoted = {Quoted(program.wstring())};
  for (const std::string& argument : arguments) {
    quoted.push_back(Quoted(fs::u8path(argument).wstring()));
  }
  std::vector<const wchar_t*> argv;
  for (const std::wstring& argument : quoted) {
    argv.push_back(argument.c_str());
  }
  argv.push_back(nullptr);
  ChildEnd end;
  const intptr_t child = _wspawnv(_P_NOWAIT, program.wstring().c_str(), argv.data());
  if (child == -1) {
    end.error = Reason(errno);
    return end;
  }
  int code = 0;
  if (_cwait(&code, child, 0) == -1) {
    end.error = Reason(errno);
    return end;
  }
  // An exception (0xC000013A for Ctrl-C, ...) is no status the program chose.
  end.exited = code >= 0 && code < 256;
  end.status = code;
  return end;
}

#else

namespace {

struct sigaction previous_actions[std::size(kEndingSignals)] = {};
// Written by the handler, so that a wait in poll() ends.
int stop_pipe[2] = {-1, -1};

extern "C" void Remember(int signal) {
  const int saved = errno;
  if (received_signal == 0) {
    received_signal = signal;
  }
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(stop_pipe[1], &byte, 1);
  errno = saved;
}

// What a change to the file, or to its folder, sends.
constexpr std::uint32_t kWatched = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                   IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                   IN_ONLYDIR;

class InotifyWatch : public FileWatch {
 public:
  InotifyWatch(int fd, fs::path file)
      : fd_(fd), folder_(file.parent_path()), name_(file.filename().string()) {}
  ~InotifyWatch() override { close(fd_); }

  // Watches the folder; false when it is missing (it is looked for again later), with the
  // reason when it cannot be watched for another reason.
  bool Arm(std::string& error) {
    watch_ = inotify_add_watch(fd_, folder_.empty() ? "." : folder_.c_str(), kWatched);
    if (watch_ >= 0 || errno == ENOENT || errno == ENOTDIR) {
      return watch_ >= 0;
    }
    error = errno == ENOSPC ? "the system's limit of watched folders is reached "
                              "(fs.inotify.max_user_watches)"
                            : Reason(errno);
    return false;
  }

  bool WaitForChange(std::chrono::milliseconds quiet) override {
    std::optional<Clock::time_point> settled;  // when the last change has been quiet long enough
    for (;;) {
      int timeout = -1;
      if (settled) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*settled - Clock::now()).count();
        timeout = static_cast<int>(left > 0 ? left : 0);
      } else if (watch_ < 0) {
        timeout = static_cast<int>(kLookAgain.count());
      }
      pollfd waits[] = {{fd_, POLLIN, 0}, {stop_pipe[0], POLLIN, 0}};
      const int ready = poll(waits, std::size(waits), timeout);
      if (StopSignals::Received() != 0) {
        return false;
      }
      if (ready < 0 && errno != EINTR) {
        poll(nullptr, 0, static_cast<int>(kLookAgain.count()));  // no spinning on a failed wait
      } else if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
        if (ReadEvents()) {
          settled = Clock::now() + quiet;
        }
      } else if (ready == 0) {
        if (settled && Clock::now() >= *settled) {
          return true;
        }
        std::string ignored;
        if (watch_ < 0 && Arm(ignored) && FileIsThere()) {
          settled = Clock::now() + quiet;  // the folder is back, and the file with it
        }
      }
    }
  }

 private:
  bool FileIsThere() const {
    struct stat status {};
    return lstat((folder_ / name_).c_str(), &status) == 0;
  }

  // Reads what is there to read; true when something happened to the file.
  bool ReadEvents() {
    bool changed = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
      const ssize_t length = read(fd_, buffer, sizeof buffer);
      if (length <= 0) {
        return changed;  // EAGAIN: all is read
      }
      for (ssize_t at = 0; at < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const char* name = buffer + at + sizeof event;
        at += static_cast<ssize_t>(sizeof event + event.len);
        if ((event.mask & IN_Q_OVERFLOW) != 0) {
          changed = true;  // events were lost: the file may be among them
        } else if (event.wd != watch_) {
          continue;
        } else if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
          // The folder is gone: a file moved away with it sent nothing of its own.
          if ((event.mask & IN_MOVE_SELF) != 0) {
            inotify_rm_watch(fd_, watch_);
            changed = true;
          }
          watch_ = -1;
        } else if (event.len > 0 && name_ == name) {
          changed = true;
        }
      }
    }
  }

  int fd_;
  int watch_ = -1;
  fs::path folder_;
  std::string name_;
};

}  // namespace

StopSignals::StopSignals() {
  received_signal = 0;
  if (stop_pipe[0] < 0 && pipe2(stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    stop_pipe[0] = stop_pipe[1] = -1;  // the waits then end at the next look instead
  }
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    sigaction(kEndingSignals[i], nullptr, &previous_actions[i]);
    // A signal the program was started ignoring (a background job's SIGINT) stays ignored.
    if (previous_actions[i].sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction remember {};
    remember.sa_handler = Remember;
    sigemptyset(&remember.sa_mask);
    remember.sa_flags = 0;  // no SA_RESTART: a wait for the child ends to pass the signal on
    sigaction(kEndingSignals[i], &remember, nullptr);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    sigaction(kEndingSignals[i], &previous_actions[i], nullptr);
  }
}

std::unique_ptr<FileWatch> FileWatch::Start(const fs::path& file, std::string& error) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    error = errno == EMFILE ? "the system's limit of watches is reached "
                              "(fs.inotify.max_user_instances)"
                            : Reason(errno);
    return nullptr;
  }
  auto watch = std::make_unique<InotifyWatch>(fd, file);
  if (!watch->Arm(error) && !error.empty()) {
    return nullptr;
  }
  return watch;
}

ChildEnd RunChildProgram(const fs::path& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  ChildEnd end;
  pid_t child = -1;
  if (const int error =
          posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ)) {
    end.error = Reason(error);
    return end;
  }
  bool passed_on = false;
  for (;;) {
    // A stop signal for this program alone (kill PID) stops the run as well; one from the
    // terminal reached the child already, and a second one changes nothing.
    if (const int signal = StopSignals::Received(); signal != 0 && !passed_on) {
      kill(child, signal);
      passed_on = true;
    }
    int status = 0;
    if (waitpid(child, &status, 0) == child) {
      end.exited = WIFEXITED(status);
      end.status = end.exited ? WEXITSTATUS(status) : 0;
      end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
      return end;
    }
    if (errno != EINTR) {
      end.error = Reason(errno);
      return end;
    }
  }
}

#endif

}  // namespace devhost
