#pragma once
// The host's exports, as the plugin uses them. Standard strings, vectors, shared pointers and
// spdlog sinks cross this boundary, so host and plugin share one standard library and one
// spdlog release (bridge/HostReleases.h names it).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bridge/GameTypes.h"
#include "bridge/Platform.h"

// Declared only: whoever calls a sink includes the host's spdlog release itself, and this
// header stays free of any library's types.
namespace spdlog::sinks {
class sink;
}  // namespace spdlog::sinks

using ChatCommandCallback = void(AShooterPlayerController*, FString*, EChatSendMode::Type);
using ConsoleCommandCallback = void(APlayerController*, FString*, bool);

namespace ArkApi {

// The operations keep this order: the interface is shared by vtable layout.
class ICommands {
 public:
  virtual bool RemoveChatCommand(const FString& command) = 0;
  virtual bool RegisterChatCommand(const FString& command,
                                   const std::function<ChatCommandCallback>& callback) = 0;
  virtual bool RegisterConsoleCommand(const FString& command,
                                      const std::function<ConsoleCommandCallback>& callback) = 0;

 protected:
  // Not deleted through this interface: the host owns the registry.
  ~ICommands() = default;
};

class IApiUtils {
 public:
  virtual bool IsServerReady() const = 0;

 protected:
  ~IApiUtils() = default;
};

ARK_API ICommands& GetCommands();
ARK_API IApiUtils& GetApiUtils();

namespace Tools {
ARK_API std::string GetCurrentDir();
ARK_API std::wstring Utf8Decode(const std::string& text);
}  // namespace Tools

}  // namespace ArkApi

ARK_API std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks();
ARK_API void* GetAddress(const std::string& name);
