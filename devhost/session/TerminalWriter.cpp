#include "devhost/session/TerminalWriter.h"

#include <fmt/format.h>

#include "devhost/present/DisplayColour.h"
#include "devhost/present/Output.h"
#include "devhost/session/Interactive.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

const TextStyle kFaint = {std::nullopt, false, true};

class TerminalWriter final : public EventWriter {
 public:
  TerminalWriter(std::FILE* out, bool colour)
      : out_(out), colour_(colour), plain_(MakeHumanWriter(out)) {}

  void Start(const StartReport& report) override {
    plain_->Start(report);
    if (report.ok) {
      Write({{"Type help for the commands and the line syntax; Ctrl-D ends the session.", kFaint}});
    }
  }

  void Message(const std::string& player, const ScreenMessage& message) override {
    const std::string text = Utf16ToUtf8(message.text);
    const TextStyle in_colour = {DisplayColour(message.colour), message.bold, false};
    switch (message.kind) {
      case ScreenMessage::Kind::ServerChat:
        Write({{"["}, {player}, {"] "}, {text, in_colour}});
        break;
      case ScreenMessage::Kind::ClientChat:
        Write({{"["},
               {player},
               {"] "},
               {Utf16ToUtf8(message.sender), TextStyle{std::nullopt, true, false}},
               {": "},
               {text}});
        break;
      case ScreenMessage::Kind::Notification: {
        // On screen a notification stands apart from chat; here it gets lines of its own.
        const std::string caption = fmt::format("notification to {}, scale {}, {} s", player,
                                                FloatText(message.scale), FloatText(message.time));
        Write({});
        Write({{"    "}, {text, TextStyle{DisplayColour(message.colour), true, false}}});
        Write({{"    "}, {caption, kFaint}});
        Write({});
        break;
      }
    }
  }

  void Log(const std::string& line) override { plain_->Log(line); }
  void CommandFailed(const std::optional<std::string>& player, const std::string& command,
                     const std::string& error, const std::string& reason) override {
    plain_->CommandFailed(player, command, error, reason);
  }
  void NothingSent(const std::string& player, const std::string& command,
                   const std::string& reason) override {
    plain_->NothingSent(player, command, reason);
  }
  void Unmatched(const std::optional<std::string>& player, const std::string& text,
                 bool registered_at_next_start) override {
    plain_->Unmatched(player, text, registered_at_next_start);
  }
  void ConsoleAnswer(const std::string& command, bool ok, const std::string& text) override {
    if (!colour_) {
      plain_->ConsoleAnswer(command, ok, text);  // which names the colour
      return;
    }
    // The plugin's answer in the colour it gives it; its fixed colours are sRGB already.
    const FBgraColor colour = ok ? quorvane::ColourGreen : quorvane::ColourRed;
    Write({{"devhost: the server console's answer: "},
           {text, TextStyle{Rgb8{colour.R, colour.G, colour.B}, false, false}}});
  }
  void AnswerWithoutScreen(const std::string& command) override {
    // At a prompt, silence would look like a hang.
    Write(
        {{fmt::format("devhost: the server console ran \"{}\"; it has no screen, so its "
                      "answer went to no player (\"NAME> {}\" shows it to player NAME)",
                      command, command)}});
  }
  void InvalidLine(std::size_t /*number*/, const std::string& line,
                   const std::string& reason) override {
    // At the prompt a line number means nothing; the forms a line may take help more.
    const std::string said = fmt::format("devhost: not a session line ({}): {}", reason, line);
    Write({{said}});
    Write({{"Lines:", kFaint}});
    for (const std::string& form : SessionLineForms()) {
      Write({{form, kFaint}});
    }
  }
  void Exit(const AllocatorStats& stats) override { plain_->Exit(stats); }

 private:
  void Write(std::initializer_list<Piece> pieces) {
    PutLine(out_, pieces, colour_);
    Flush(out_);
  }

  std::FILE* out_;
  bool colour_;
  std::unique_ptr<EventWriter> plain_;
};

}  // namespace

std::unique_ptr<EventWriter> MakeTerminalWriter(std::FILE* out, bool colour) {
  return std::make_unique<TerminalWriter>(out, colour);
}

}  // namespace devhost
