#include "plugin/ReloadCommand.h"

#include <exception>
#include <functional>
#include <utility>

#include "bridge/Colours.h"
#include "bridge/FString.h"
#include "bridge/HostApi.h"
#include "bridge/Senders.h"
#include "config/ConfigDocument.h"
#include "config/RegistrationCheck.h"
#include "plugin/PluginLogger.h"
#include "plugin/ReloadCommandName.h"

namespace quorvane {

void ReloadConfig(APlayerController* player, FString* /*command*/, bool /*write_to_log*/) {
  // Console callers are the same game object seen through its base class.
  auto* const receiver = reinterpret_cast<AShooterPlayerController*>(player);
  try {
    // A document that start-up would refuse is refused here too, before it replaces the one
    // in force: its commands would all fail.
    nlohmann::json next = ReadConfig();
    static_cast<void>(CheckRegistrableCommands(next));
    ConfigDocument = std::move(next);
  } catch (const std::exception& error) {
    // The host expects its utility object fetched before every message; the result is unused.
    ArkApi::GetApiUtils();
    SendServerChatLine(receiver, ToLinear(ColourRed), kReloadFailedAnswer);
    PluginLogger()->error("{}", error.what());
    return;
  }
  // The host expects its utility object fetched before every message; the result is unused.
  ArkApi::GetApiUtils();
  SendServerChatLine(receiver, ToLinear(ColourGreen), kReloadedAnswer);
}

void RegisterReloadCommand() {
  const std::function<ConsoleCommandCallback> callback = &ReloadConfig;
  const FString name = FString::FromNarrow(kReloadCommandName);
  ArkApi::GetCommands().RegisterConsoleCommand(name, callback);
}

}  // namespace quorvane
