#include "devhost/present/MessageJson.h"

#include <cmath>
#include <string>

#include "devhost/present/MessageText.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

// Fields keep their keys in the order written.
using json = nlohmann::ordered_json;

}  // namespace

nlohmann::ordered_json FloatJson(float value) {
  if (!std::isfinite(value)) {
    return FloatText(value);  // "inf", "-inf" or "nan": JSON has no such numbers
  }
  return std::stod(FloatText(value));
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
