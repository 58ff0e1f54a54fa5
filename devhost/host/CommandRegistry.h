#pragma once
// The host's command registry. It keeps its own copies of every name and callback and tags
// each registration with the plugin that made it, so a plugin that fails to start can have
// its commands withdrawn.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bridge/HostApi.h"
#include "devhost/game/GameString.h"
#include "devhost/text/Text.h"

namespace devhost {

template <typename Callback>
struct RegisteredCommand {
  std::u16string name;
  std::string owner;
  std::function<Callback> callback;
};

// Shared and never changed once made, so a search hands out the registration itself: a
// callback in flight stays alive even if its plugin's commands are withdrawn meanwhile.
template <typename Callback>
using Registration = std::shared_ptr<const RegisteredCommand<Callback>>;

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

  // The first registration whose name equals `word`, ignoring ASCII case, or null. An empty
  // name never matches.
  Registration<ChatCommandCallback> FindChat(std::u16string_view word) const;
  Registration<ConsoleCommandCallback> FindConsole(std::u16string_view word) const;

  std::vector<std::u16string> ChatNames(const std::string* owner = nullptr) const;
  // The chat registrations in registration order, optionally of one owner only.
  std::vector<Registration<ChatCommandCallback>> ChatCommands(
      const std::string* owner = nullptr) const;
  std::vector<std::u16string> ConsoleNames(const std::string* owner = nullptr) const;

 private:
  mutable std::mutex mutex_;
  std::string owner_;
  std::vector<Registration<ChatCommandCallback>> chat_;
  // Chat name, matched regardless of ASCII case -> index in chat_ of its first registration,
  // so that a typed line costs one lookup however many commands there are. The keys view the
  // registrations' own names. Rebuilt on the first search after a change; until then it is
  // never read, so keys viewing names since erased do no harm.
  mutable std::unordered_map<FoldedName, std::size_t, FoldedNameHash> chat_index_;
  mutable bool chat_index_stale_ = true;
  std::vector<Registration<ConsoleCommandCallback>> console_;
};

}  // namespace devhost
