#include "devhost/cli/EventWriter.h"

#include "devhost/cli/Printable.h"

#include <cmath>
#include <iterator>
#include <string>

#include <fmt/compile.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "devhost/lib/Text.h"

namespace devhost {
namespace {

// Events keep their keys in the order written.
using json = nlohmann::ordered_json;

class HumanWriter final : public EventWriter {
 public:
  explicit HumanWriter(std::FILE* out) : out_(out) {}

  void Start(const StartReport& report) override {
    if (report.ok) {
      Write(fmt::format("devhost: plugin started; chat commands: {}; console commands: {}",
                        Joined(report.chat_commands), Joined(report.console_commands)));
    } else {
      Write(fmt::format("devhost: plugin did not start: {}", report.error));
    }
  }

  void Message(const std::string& player, const ScreenMessage& message) override {
    Write(fmt::format("[{}] {}", player, DescribeMessage(message)));
  }

  void Log(const std::string& /*line*/) override {}

  void CommandFailed(const std::optional<std::string>& /*player*/, const std::string& /*command*/,
                     const std::string& /*error*/) override {
    // The host has logged the failure already.
  }

  void Unmatched(const std::optional<std::string>& player, const std::string& text) override {
    Write(fmt::format("devhost: no command matches \"{}\" from {}", Printable(text),
                      player ? *player : std::string("the server console")));
  }

  void InvalidLine(std::size_t number, const std::string& line,
                   const std::string& reason) override {
    // Standard error: the line is the script's mistake, not part of what the session showed.
    std::lock_guard<std::mutex> lock(mutex_);
    fmt::print(stderr,
               "devhost: line {}: not a session line ({}; expected \"NAME: TEXT\", "
               "\"NAME> TEXT\" or \"> TEXT\"): {}\n",
               number, reason, line);
    std::fflush(stderr);
  }

  void Exit(const AllocatorStats& stats) override {
    if (stats.live_blocks == 0) {
      Write("devhost: session ended; game allocator balanced");
    } else {
      Write(fmt::format("devhost: session ended; {} game allocations ({} bytes) never released",
                        stats.live_blocks, stats.live_bytes));
    }
  }

 private:
  void Write(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
  }

  std::FILE* out_;
  std::mutex mutex_;
};

}  // namespace

nlohmann::ordered_json FloatJson(float value) {
  if (!std::isfinite(value)) {
    return FloatText(value);  // "inf", "-inf" or "nan": JSON has no such numbers
  }
  return std::stod(FloatText(value));
}

namespace {

json OptionalName(const std::optional<std::string>& player) {
  return player ? json(*player) : json(nullptr);
}

class JsonWriter final : public EventWriter {
 public:
  explicit JsonWriter(std::FILE* out) : out_(out) {}

  void Start(const StartReport& report) override {
    json event = {{"event", "start"}, {"ok", report.ok}};
    if (!report.ok) {
      event["error"] = report.error;
    }
    event["chat_commands"] = report.chat_commands;
    event["console_commands"] = report.console_commands;
    Write(event);
  }

  void Message(const std::string& player, const ScreenMessage& message) override {
    json event = {{"event", "message"}, {"player", player}};
    event.update(MessageFields(message));  // appends, in the fields' order
    Write(event);
  }

  void Log(const std::string& line) override { Write({{"event", "log"}, {"line", line}}); }

  void CommandFailed(const std::optional<std::string>& player, const std::string& command,
                     const std::string& error) override {
    Write({{"event", "command_failed"},
           {"player", OptionalName(player)},
           {"command", command},
           {"error", error}});
  }

  void Unmatched(const std::optional<std::string>& player, const std::string& text) override {
    Write({{"event", "unmatched"}, {"player", OptionalName(player)}, {"text", text}});
  }

  void InvalidLine(std::size_t number, const std::string& line,
                   const std::string& reason) override {
    Write({{"event", "invalid_line"}, {"line", number}, {"text", line}, {"reason", reason}});
  }

  void Exit(const AllocatorStats& stats) override {
    Write({{"event", "exit"}, {"live_allocations", stats.live_blocks}});
  }

 private:
  void Write(const json& event) {
    const std::string line = event.dump(-1, ' ', false, json::error_handler_t::replace);
    std::lock_guard<std::mutex> lock(mutex_);
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
  }

  std::FILE* out_;
  std::mutex mutex_;
};

}  // namespace

std::string Joined(const std::vector<std::string>& names) {
  return names.empty() ? std::string("none") : fmt::format("{}", fmt::join(names, ", "));
}

std::string FloatText(float value) {
  return fmt::format("{}", value);
}

std::string DescribeMessage(const ScreenMessage& message) {
  std::string out;
  AppendMessage(out, message);
  return out;
}

void AppendMessage(std::string& out, const ScreenMessage& message) {
  // A check describes one message per command: compiled formats and one small buffer keep
  // that cheap.
  fmt::memory_buffer head;
  const FLinearRgba& colour = message.colour;
  switch (message.kind) {
    case ScreenMessage::Kind::ServerChat:
      fmt::format_to(std::back_inserter(head), FMT_COMPILE("ServerChat rgba({}, {}, {}, {}){}: "),
                     colour.R, colour.G, colour.B, colour.A, message.bold ? " bold" : "");
      break;
    case ScreenMessage::Kind::ClientChat:
      fmt::format_to(std::back_inserter(head), FMT_COMPILE("ClientChat from "));
      break;
    case ScreenMessage::Kind::Notification:
      fmt::format_to(std::back_inserter(head),
                     FMT_COMPILE("Notification rgba({}, {}, {}, {}) scale {} time {}: "), colour.R,
                     colour.G, colour.B, colour.A, message.scale, message.time);
      break;
  }
  out.append(head.data(), head.size());
  if (message.kind == ScreenMessage::Kind::ClientChat) {
    AppendPrintable(out, Utf16ToUtf8(message.sender));
    out += ": ";
  }
  AppendPrintable(out, Utf16ToUtf8(message.text));
}

nlohmann::ordered_json MessageFields(const ScreenMessage& message) {
  json fields = {{"type", KindName(message.kind)}};
  const json colour = {FloatJson(message.colour.R), FloatJson(message.colour.G),
                       FloatJson(message.colour.B), FloatJson(message.colour.A)};
  switch (message.kind) {
    case ScreenMessage::Kind::ServerChat:
      fields["text"] = Utf16ToUtf8(message.text);
      fields["color"] = colour;
      fields["bold"] = message.bold;
      break;
    case ScreenMessage::Kind::ClientChat:
      fields["sender"] = Utf16ToUtf8(message.sender);
      fields["text"] = Utf16ToUtf8(message.text);
      break;
    case ScreenMessage::Kind::Notification:
      fields["text"] = Utf16ToUtf8(message.text);
      fields["color"] = colour;
      fields["scale"] = FloatJson(message.scale);
      fields["time"] = FloatJson(message.time);
      break;
  }
  return fields;
}

std::unique_ptr<EventWriter> MakeHumanWriter(std::FILE* out) {
  return std::make_unique<HumanWriter>(out);
}

std::unique_ptr<EventWriter> MakeJsonWriter(std::FILE* out) {
  return std::make_unique<JsonWriter>(out);
}

}  // namespace devhost
