#pragma once
// The host's command registry. It keeps its own copies of every name and callback and tags
// each registration with the plugin that made it, so a plugin that fails to start can have
// its commands withdrawn.

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bridge/HostApi.h"

namespace devhost {

template <typename Callback>
struct RegisteredCommand {
  std::u16string name;
  std::string owner;
  std::function<Callback> callback;
};

class CommandRegistry final : public ArkApi::ICommands {
 public:
  bool RemoveChatCommand(const FString& command) override;
  bool RegisterChatCommand(const FString& command,
                           const std::function<ChatCommandCallback>& callback) override;
  bool RegisterConsoleCommand(const FString& command,
                              const std::function<ConsoleCommandCallback>& callback) override;

  // Registrations made from now on belong to `owner`.
  void SetOwner(std::string owner);
  void Withdraw(const std::string& owner);
  // Withdraws without destroying the callbacks, for a library that is unloaded already: their
  // destructors are its code. They are kept, unreachable, for the life of the process.
  // Only a safety net now: a plugin whose start fails has registered nothing.
  void Abandon(const std::string& owner);
  void Clear();

  // The first registration whose name equals `word`, ignoring ASCII case. An empty name never
  // matches.
  std::optional<RegisteredCommand<ChatCommandCallback>> FindChat(std::u16string_view word) const;
  std::optional<RegisteredCommand<ConsoleCommandCallback>> FindConsole(
      std::u16string_view word) const;

  std::vector<std::u16string> ChatNames(const std::string* owner = nullptr) const;
  // Copies of the chat registrations in registration order, optionally of one owner only.
  std::vector<RegisteredCommand<ChatCommandCallback>> ChatCommands(
      const std::string* owner = nullptr) const;
  std::vector<std::u16string> ConsoleNames(const std::string* owner = nullptr) const;

 private:
  mutable std::mutex mutex_;
  std::string owner_;
  std::vector<RegisteredCommand<ChatCommandCallback>> chat_;
  // Case-folded chat name -> index in chat_ of its first registration, so that a typed line
  // costs one lookup however many commands there are. Rebuilt on the first search after a
  // change.
  mutable std::unordered_map<std::u16string, std::size_t> chat_index_;
  mutable bool chat_index_stale_ = true;
  std::vector<RegisteredCommand<ConsoleCommandCallback>> console_;
};

// The units of a game string, without its terminator.
std::u16string UnitsOf(const FString& string);

}  // namespace devhost
