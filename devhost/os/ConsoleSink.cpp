#include "devhost/os/ConsoleSink.h"

#if defined(_WIN32)
#include <spdlog/sinks/wincolor_sink.h>
#else
#include <spdlog/sinks/ansicolor_sink.h>
#endif

namespace devhost {

std::shared_ptr<spdlog::sinks::sink> MakeConsoleSink() {
#if defined(_WIN32)
  return std::make_shared<spdlog::sinks::wincolor_stdout_sink_mt>();
#else
  return std::make_shared<spdlog::sinks::ansicolor_stdout_sink_mt>();
#endif
}

}  // namespace devhost
