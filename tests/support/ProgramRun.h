#pragma once
// Runs a command line through the POSIX shell, as an operator would type it, and collects its
// standard output and exit status. Standard error goes wherever the command line sends it.
// The development host program is run only through here; the end-to-end tests are given its
// path as DEVHOST_PROGRAM_PATH.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace test_support {

struct ProgramRun {
  int exit_code = -1;  // -1 when the shell could not start or the program did not exit
  std::string out;
};

inline ProgramRun RunCommand(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    run.out.append(buffer, n);
  }
  const int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The program's command line: `arguments` are shell words the caller quotes; `before` goes first
// on the same line (an environment setting such as "NO_COLOR=1 ", or "ulimit -f 1; "); standard
// error goes to `errors`. `runner` stands before the program ("timeout 10 ", "exec ").
inline std::string DevhostCommand(const std::string& arguments, const std::string& errors,
                                  const std::string& before, const std::string& runner) {
  return before + runner + "'" + DEVHOST_PROGRAM_PATH + "' " + arguments + " 2>'" + errors + "'";
}

// The development host program run to its end. A hang fails the test (exit 124) instead of stopping
// the suite.
inline ProgramRun RunProgram(const std::string& arguments, const std::string& errors = "/dev/null",
                             const std::string& before = "") {
  return RunCommand(DevhostCommand(arguments, errors, before, "timeout 10 "));
}

// The development host program in the background, for a test that acts while it runs: the shell
// hands its own process over to the program, so Stop signals the program itself.
class BackgroundProgram {
 public:
  explicit BackgroundProgram(const std::string& arguments, const std::string& before = "")
      : pid_(fork()) {
    if (pid_ == 0) {
      const std::string command = DevhostCommand(arguments, "/dev/null", before, "exec ");
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;
  ~BackgroundProgram() { Stop(SIGKILL); }

  bool Started() const { return pid_ > 0; }
  // Sends `signal` and returns the wait status; -1 once stopped or never started.
  int Stop(int signal) {
    int status = -1;
    if (pid_ > 0) {
      kill(pid_, signal);
      waitpid(pid_, &status, 0);
      pid_ = -1;
    }
    return status;
  }

 private:
  pid_t pid_;
};

}  // namespace test_support
