#pragma once
// A log sink that hands each formatted line, without its line end, to a function.

#include <functional>
#include <mutex>
#include <string>

#include <spdlog/sinks/base_sink.h>

namespace devhost {

class LineSink final : public spdlog::sinks::base_sink<std::mutex> {
 public:
  explicit LineSink(std::function<void(const std::string&)> write) : write_(std::move(write)) {}

 protected:
  void sink_it_(const spdlog::details::log_msg& message) override {
    spdlog::memory_buf_t formatted;
    formatter_->format(message, formatted);
    std::string line(formatted.data(), formatted.size());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
      line.pop_back();
    }
    write_(line);
  }
  void flush_() override {}

 private:
  std::function<void(const std::string&)> write_;
};

}  // namespace devhost
