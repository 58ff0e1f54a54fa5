#pragma once
// Shared by the benchmark programs: the machine description every report carries and the
// resident set size.

#include <sys/utsname.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

namespace bench {

// Google Benchmark reports cores, clock and caches; the CPU model, kernel and compiler are
// added so that figures from different machines are not compared by mistake.
inline void AddMachineContext() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      benchmark::AddCustomContext("cpu_model", line.substr(line.find(':') + 2));
      break;
    }
  }
  utsname name{};
  if (uname(&name) == 0) {
    benchmark::AddCustomContext("kernel", std::string(name.sysname) + " " + name.release);
  }
#if defined(__clang__)
  benchmark::AddCustomContext("compiler", "clang " __clang_version__);
#elif defined(__GNUC__)
  benchmark::AddCustomContext("compiler", "gcc " __VERSION__);
#endif
}

inline std::size_t ResidentKib() {
  std::ifstream statm("/proc/self/statm");
  std::size_t total_pages = 0;
  std::size_t resident_pages = 0;
  statm >> total_pages >> resident_pages;
  return resident_pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) / 1024;
}

}  // namespace bench
