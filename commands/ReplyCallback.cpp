#include "commands/ReplyCallback.h"

#include <string>

#include <nlohmann/json.hpp>

#include "bridge/Colours.h"
#include "bridge/FString.h"
#include "bridge/HostApi.h"
#include "bridge/Senders.h"
#include "config/ConfigDocument.h"
#include "config/EntryKeys.h"
#include "config/GameFloat.h"
#include "config/ReplyTypes.h"

namespace quorvane {

namespace {

using json = nlohmann::json;

// Elements are taken from a copy of "Color" by positional subscript, so a short or null
// colour fails on its first missing element and the document itself never changes.
FLinearRgba ReadColour(json& entry) {
  json colour = entry[kColorKey.name];
  FLinearRgba result{};
  result.R = GameFloatOf(colour[0]);
  result.G = GameFloatOf(colour[1]);
  result.B = GameFloatOf(colour[2]);
  result.A = GameFloatOf(colour[3]);
  return result;
}

}  // namespace

// Reads in the order of kUseReadOrder.
void ReplyCallback::operator()(AShooterPlayerController* player, FString* /*message*/,
                               EChatSendMode::Type /*mode*/) const {
  const auto position = static_cast<json::size_type>(static_cast<std::int64_t>(entry_index));
  json entry = ConfigDocument["ChatCommands"][position];

  const std::wstring reply = ArkApi::Tools::Utf8Decode(entry[kReplyKey.name].get<std::string>());
  const std::string type = entry[kTypeKey.name].get<std::string>();

  if (type == kServerChat) {
    const FLinearRgba colour = ReadColour(entry);
    // The host expects its utility object fetched before every message; the result is unused.
    ArkApi::GetApiUtils();
    SendServerChatLine(player, colour, reply.c_str());
  } else if (type == kClientChat) {
    const FString sender = FString::FromWide(L"Server");
    // The host expects its utility object fetched before every message; the result is unused.
    ArkApi::GetApiUtils();
    SendClientChatLine(player, sender, reply.c_str());
  } else if (type == kNotification) {
    const float scale = GameFloatOf(entry[kDisplayScaleKey.name]);
    const float time = GameFloatOf(entry[kDisplayTimeKey.name]);
    const FLinearRgba colour = ReadColour(entry);
    // The host expects its utility object fetched before every message; the result is unused.
    ArkApi::GetApiUtils();
    ShowNotification(player, colour, scale, time, reply.c_str());
  }
  // Any other type sends nothing and reports nothing.
}

}  // namespace quorvane
