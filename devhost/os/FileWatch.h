#pragma once
// Waiting for one file to change, where Linux and Windows differ: Linux watches the file's
// folder with inotify and keeps only the events that name the file; Windows looks at the file
// four times a second. Either way the wait ends early when the program is asked to stop, and
// while the file's folder is missing it is looked for four times a second until it is back.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace devhost {

// While one lives, the ending signals (EndingSignals.h) no longer end the program: they are
// remembered, and end the waits of this file (FileWatch::WaitForChange and WaitForChild)
// instead. One at a time.
class StopSignals {
 public:
  StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  ~StopSignals();

  // The first signal that asked the program to stop, or 0.
  static int Received();
  // Ends the program by `signal`, as it would have ended without this class.
  [[noreturn]] static void EndBy(int signal);
};

class FileWatch {
 public:
  // Watches `file`; null, with `error` saying why, when the system cannot.
  static std::unique_ptr<FileWatch> Start(const std::filesystem::path& file, std::string& error);
  virtual ~FileWatch() = default;

  // Returns true once the file was written, replaced, removed or made again, and then nothing
  // happened to it for `quiet`; a change that came since the last call counts. Returns false
  // as soon as a stop signal (StopSignals) arrives.
  virtual bool WaitForChange(std::chrono::milliseconds quiet) = 0;
};

// How a child process ended.
struct ChildEnd {
  bool exited = false;  // it returned a status; otherwise a signal or the system ended it
  int status = 0;       // its exit status, when it exited
  int signal = 0;       // the signal that ended it, when one did (POSIX)
  std::string error;    // set when it could not be started at all
};

// Runs `program` with `arguments` (without the program's name), sharing this program's
// standard streams and environment, and waits for it to end. A stop signal (StopSignals) that
// arrives meanwhile is passed on to it.
ChildEnd RunChildProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments);

}  // namespace devhost
