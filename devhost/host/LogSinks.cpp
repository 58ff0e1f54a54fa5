#include "devhost/host/LogSinks.h"

#include <mutex>

#include <spdlog/sinks/base_sink.h>

#include "bridge/HostReleases.h"

namespace devhost {
namespace {

// The logger formats each message with its own pattern before any sink sees it, so a line
// keeps the format of whoever logged it.
class CallbackSink final : public spdlog::sinks::base_sink<std::mutex> {
 public:
  explicit CallbackSink(std::function<void(const LogLine&)> write) : write_(std::move(write)) {}

 protected:
  void _sink_it(const spdlog::details::log_msg& message) override {
    std::string_view line(message.formatted.data(), message.formatted.size());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
      line.remove_suffix(1);
    }
    const std::string_view logger =
        message.logger_name != nullptr ? std::string_view(*message.logger_name) : "";
    write_(LogLine{logger, std::string_view(message.raw.data(), message.raw.size()), line});
  }
  void _flush() override {}

 private:
  std::function<void(const LogLine&)> write_;
};

}  // namespace

std::shared_ptr<spdlog::sinks::sink> MakeLogSink(std::function<void(const LogLine&)> write) {
  return std::make_shared<CallbackSink>(std::move(write));
}

std::shared_ptr<spdlog::sinks::sink> MakeLineSink(std::function<void(const std::string&)> write) {
  return MakeLogSink(
      [write = std::move(write)](const LogLine& line) { write(std::string(line.line)); });
}

}  // namespace devhost
