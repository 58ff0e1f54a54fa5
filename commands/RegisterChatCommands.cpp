#include "commands/RegisterChatCommands.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bridge/FString.h"
#include "bridge/HostApi.h"
#include "commands/ReplyCallback.h"
#include "config/CommandText.h"
#include "config/ConfigDocument.h"
#include "config/RegistrationCheck.h"

namespace quorvane {

void RegisterChatCommands() {
  // All or nothing: should the start fail half-way, the library is unloaded while the host
  // still holds the callbacks registered so far.
  const std::vector<const std::string*> commands = CheckRegistrableCommands(ConfigDocument);
  // As before, a document without "ChatCommands" (or a null one) gains it as null. Only a
  // missing member is added, so the texts above stay where they are.
  static_cast<void>(ConfigDocument["ChatCommands"]);

  std::int32_t position = 0;
  for (const std::string* command : commands) {
    const std::function<ChatCommandCallback> callback = ReplyCallback{position};
    const FString command_text = FString::FromNarrow(CommandTextAsRegistered(*command).c_str());
    ArkApi::GetCommands().RegisterChatCommand(command_text, callback);
    ++position;
  }
}

}  // namespace quorvane
