#pragma once
// Sinks for the host's sink list (Host::SetSinks) that hand each log line to a function. The
// sinks are built on the host's spdlog release inside the host library; this header names no
// library type, so code on other releases of fmt or json can use it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace spdlog::sinks {
class sink;
}  // namespace spdlog::sinks

namespace devhost {

struct LogLine {
  std::string_view logger;   // the logger's name, e.g. "Quorvane"
  std::string_view message;  // the message alone
  std::string_view line;     // as the logger's pattern formats it, without the line end
};

std::shared_ptr<spdlog::sinks::sink> MakeLogSink(std::function<void(const LogLine&)> write);
// Only the formatted line.
std::shared_ptr<spdlog::sinks::sink> MakeLineSink(std::function<void(const std::string&)> write);

}  // namespace devhost
