#include "devhost/session/EventWriter.h"

#include <string>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "devhost/present/JsonLines.h"
#include "devhost/present/MessageJson.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Output.h"

namespace devhost {
namespace {

// Events keep their keys in the order written.
using json = nlohmann::ordered_json;

// Whole lines, flushed one at a time, whichever thread writes; for people, escaped. A failed
// write never stops the session: the program reports it when it ends.
class LineOutput {
 public:
  LineOutput(std::FILE* out, bool for_people) : out_(out), for_people_(for_people) {}
  void Put(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (for_people_) {
      PutLine(out_, line);
    } else {
      PutText(out_, line + "\n");
    }
    Flush(out_);
  }
  std::mutex& Mutex() { return mutex_; }

 private:
  std::FILE* out_;
  bool for_people_;
  std::mutex mutex_;
};

class HumanWriter final : public EventWriter {
 public:
  explicit HumanWriter(std::FILE* out) : out_(out, /*for_people=*/true) {}

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

  void Log(const std::string& line) override { Write(line); }

  void CommandFailed(const std::optional<std::string>& /*player*/, const std::string& command,
                     const std::string& /*error*/, const std::string& reason) override {
    // The host has logged the failure already; under it, why.
    if (!reason.empty()) {
      Write(fmt::format("devhost: {} failed because {}", command, reason));
    }
  }

  void NothingSent(const std::string& player, const std::string& command,
                   const std::string& reason) override {
    Write(fmt::format("devhost: {} from {} sends nothing: {}", command, player, reason));
  }

  void Unmatched(const std::optional<std::string>& player, const std::string& text,
                 bool registered_at_next_start) override {
    Write(fmt::format("devhost: no command matches \"{}\" from {}{}", text,
                      player ? *player : std::string("the server console"),
                      registered_at_next_start
                          ? "; config.json has it, and it takes effect at the next start"
                          : ""));
  }

  void ConsoleAnswer(const std::string& /*command*/, bool ok, const std::string& text) override {
    Write(
        fmt::format("devhost: the server console's answer, in {}: {}", ok ? "green" : "red", text));
  }

  void AnswerWithoutScreen(const std::string& /*command*/) override {
    // Scripted sessions show what players see; the server console is no player.
  }

  void InvalidLine(std::size_t number, const std::string& line,
                   const std::string& reason) override {
    // Standard error: the line is the script's mistake, not part of what the session showed.
    // A session goes on to its end even when standard error cannot be written.
    std::lock_guard<std::mutex> lock(out_.Mutex());
    PutLine(stderr,
            fmt::format("devhost: line {}: not a session line ({}; expected \"NAME: TEXT\", "
                        "\"NAME> TEXT\" or \"> TEXT\"): {}",
                        number, reason, line));
    Flush(stderr);
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
  void Write(const std::string& line) { out_.Put(line); }

  LineOutput out_;
};

json OptionalName(const std::optional<std::string>& player) {
  return player ? json(*player) : json(nullptr);
}

class JsonWriter final : public EventWriter {
 public:
  explicit JsonWriter(std::FILE* out) : out_(out, /*for_people=*/false) {}

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
                     const std::string& error, const std::string& reason) override {
    json event = {{"event", "command_failed"},
                  {"player", OptionalName(player)},
                  {"command", command},
                  {"error", error}};
    if (!reason.empty()) {
      event["reason"] = reason;
    }
    Write(event);
  }

  void NothingSent(const std::string& player, const std::string& command,
                   const std::string& reason) override {
    Write(
        {{"event", "nothing_sent"}, {"player", player}, {"command", command}, {"reason", reason}});
  }

  void Unmatched(const std::optional<std::string>& player, const std::string& text,
                 bool registered_at_next_start) override {
    json event = {{"event", "unmatched"}, {"player", OptionalName(player)}, {"text", text}};
    if (registered_at_next_start) {
      event["registered_at_next_start"] = true;
    }
    Write(event);
  }

  void ConsoleAnswer(const std::string& command, bool ok, const std::string& text) override {
    Write({{"event", "console_answer"}, {"command", command}, {"ok", ok}, {"text", text}});
  }

  void AnswerWithoutScreen(const std::string& /*command*/) override {}

  void InvalidLine(std::size_t number, const std::string& line,
                   const std::string& reason) override {
    Write({{"event", "invalid_line"}, {"line", number}, {"text", line}, {"reason", reason}});
  }

  void Exit(const AllocatorStats& stats) override {
    Write({{"event", "exit"}, {"live_allocations", stats.live_blocks}});
  }

 private:
  void Write(const json& event) { out_.Put(JsonLineText(event)); }

  LineOutput out_;
};

}  // namespace

std::string Joined(const std::vector<std::string>& names) {
  return names.empty() ? std::string("none") : fmt::format("{}", fmt::join(names, ", "));
}

std::unique_ptr<EventWriter> MakeHumanWriter(std::FILE* out) {
  return std::make_unique<HumanWriter>(out);
}

std::unique_ptr<EventWriter> MakeJsonWriter(std::FILE* out) {
  return std::make_unique<JsonWriter>(out);
}

}  // namespace devhost
