#include "devhost/present/MessageText.h"

#include <iterator>
#include <string>

#include <fmt/compile.h>
#include <fmt/format.h>

#include "devhost/present/Printable.h"
#include "devhost/text/Text.h"

namespace devhost {

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

}  // namespace devhost
