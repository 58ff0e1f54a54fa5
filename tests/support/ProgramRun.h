#pragma once
// Runs a command line through the POSIX shell, as an operator would type it, and collects its
// standard output and exit status. Standard error goes wherever the command line sends it.

#include <sys/wait.h>

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

}  // namespace test_support
