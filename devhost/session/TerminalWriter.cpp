#include "devhost/session/TerminalWriter.h"

#include <fmt/color.h>
#include <fmt/format.h>

#include "devhost/lib/Text.h"
#include "devhost/session/DisplayColour.h"
#include "devhost/session/Printable.h"
#include "devhost/session/Terminal.h"

namespace devhost {
namespace {

class TerminalWriter final : public EventWriter {
 public:
  TerminalWriter(std::FILE* out, bool colour)
      : out_(out), colour_(colour), plain_(MakeHumanWriter(out)) {}

  void Start(const StartReport& report) override {
    plain_->Start(report);
    if (report.ok) {
      Write(Styled("Type help for the commands and the line syntax; Ctrl-D ends the session.",
                   fmt::emphasis::faint));
    }
  }

  void Message(const std::string& player, const ScreenMessage& message) override {
    const std::string text = Printable(Utf16ToUtf8(message.text));
    switch (message.kind) {
      case ScreenMessage::Kind::ServerChat:
        Write(fmt::format("[{}] {}", player, Styled(text, InColour(message.colour, message.bold))));
        break;
      case ScreenMessage::Kind::ClientChat:
        Write(fmt::format("[{}] {}: {}", player,
                          Styled(Printable(Utf16ToUtf8(message.sender)), fmt::emphasis::bold),
                          text));
        break;
      case ScreenMessage::Kind::Notification:
        // On screen a notification stands apart from chat; here it gets lines of its own.
        Write(fmt::format("\n    {}\n    {}\n", Styled(text, InColour(message.colour, true)),
                          Styled(fmt::format("notification to {}, scale {}, {} s", player,
                                             FloatText(message.scale), FloatText(message.time)),
                                 fmt::emphasis::faint)));
        break;
    }
  }

  void Log(const std::string& line) override { plain_->Log(line); }
  void CommandFailed(const std::optional<std::string>& player, const std::string& command,
                     const std::string& error) override {
    plain_->CommandFailed(player, command, error);
  }
  void Unmatched(const std::optional<std::string>& player, const std::string& text) override {
    plain_->Unmatched(player, text);
  }
  void InvalidLine(std::size_t number, const std::string& line,
                   const std::string& reason) override {
    plain_->InvalidLine(number, line, reason);
  }
  void Exit(const AllocatorStats& stats) override { plain_->Exit(stats); }

 private:
  fmt::text_style InColour(const FLinearRgba& colour, bool bold) const {
    const Rgb8 rgb = DisplayColour(colour);
    fmt::text_style style = fmt::fg(fmt::rgb(rgb.r, rgb.g, rgb.b));
    return bold ? style | fmt::emphasis::bold : style;
  }
  std::string Styled(const std::string& text, fmt::text_style style) const {
    return colour_ ? fmt::format(style, "{}", text) : text;
  }
  void Write(const std::string& line) {
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
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
