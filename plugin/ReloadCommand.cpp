#include "plugin/ReloadCommand.h"

#include <exception>
#include <functional>

#include "bridge/Colours.h"
#include "bridge/GameString.h"
#include "bridge/HostApi.h"
#include "bridge/Senders.h"
#include "config/ConfigDocument.h"
#include "plugin/PluginLogger.h"

void ReloadConfig(APlayerController* player, FString* /*command*/, bool /*write_to_log*/) {
  // Console callers are the same game object seen through its base class.
  auto* const receiver = reinterpret_cast<AShooterPlayerController*>(player);
  try {
    LoadConfig();
  } catch (const std::exception& error) {
    // The host expects its utility object fetched before every message; the result is unused.
    ArkApi::GetApiUtils();
    SendServerChatLine(receiver, ToLinear(ColourRed), "Failed to reload config");
    PluginLogger()->error("{}", error.what());
    return;
  }
  // The host expects its utility object fetched before every message; the result is unused.
  ArkApi::GetApiUtils();
  SendServerChatLine(receiver, ToLinear(ColourGreen), "Reloaded config");
}

void RegisterReloadCommand() {
  const std::function<ConsoleCommandCallback> callback = &ReloadConfig;
  const GameString name = GameString::FromNarrow("Quorvane.Reload");
  ArkApi::GetCommands().RegisterConsoleCommand(name, callback);
}
