#include "devhost/session/MessageText.h"

#include <cmath>
#include <iterator>
#include <string>

#include <fmt/compile.h>
#include <fmt/format.h>

#include "devhost/lib/Text.h"
#include "devhost/session/Printable.h"

namespace devhost {
namespace {

// Fields keep their keys in the order written.
using json = nlohmann::ordered_json;

}  // namespace

std::string FloatText(float value) {
  return fmt::format("{}", value);
}

nlohmann::ordered_json FloatJson(float value) {
  if (!std::isfinite(value)) {
    return FloatText(value);  // "inf", "-inf" or "nan": JSON has no such numbers
  }
  return std::stod(FloatText(value));
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

}  // namespace devhost
