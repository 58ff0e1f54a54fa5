#include "commands/RegisterChatCommands.h"

#include <cstdint>
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "bridge/GameString.h"
#include "bridge/HostApi.h"
#include "commands/ReplyCallback.h"
#include "config/ConfigDocument.h"

namespace {

using json = nlohmann::json;

// The element's "Command"; an object without one reads as null, so it fails like a null
// "Command" would. A non-object raises the library's own type_error 305.
const json& CommandOf(const json& element) {
  static const json kAbsent;
  if (!element.is_object()) {
    return element["Command"];
  }
  const auto found = element.find("Command");
  return found == element.end() ? kAbsent : *found;
}

}  // namespace

void RegisterChatCommands() {
  const json snapshot = ConfigDocument["ChatCommands"];
  std::int32_t position = 0;
  for (const json& element : snapshot) {
    const std::string command = CommandOf(element).get<std::string>();
    const std::function<ChatCommandCallback> callback = ReplyCallback{position};
    const GameString command_text = GameString::FromNarrow(command.c_str());
    ArkApi::GetCommands().RegisterChatCommand(command_text, callback);
    ++position;
  }
}
