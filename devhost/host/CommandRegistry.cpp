#include "devhost/host/CommandRegistry.h"

#include <algorithm>

#include "bridge/FString.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

template <typename Callback>
Registration<Callback> FindIn(const std::vector<Registration<Callback>>& commands,
                              std::u16string_view word) {
  for (const auto& command : commands) {
    if (!command->name.empty() && EqualsIgnoringAsciiCase(command->name, word)) {
      return command;
    }
  }
  return nullptr;
}

// Every registration when `owner` is null, else those of that owner.
template <typename Callback>
bool OwnedBy(const Registration<Callback>& command, const std::string* owner) {
  return owner == nullptr || command->owner == *owner;
}

template <typename Callback>
std::vector<std::u16string> NamesIn(const std::vector<Registration<Callback>>& commands,
                                    const std::string* owner) {
  std::vector<std::u16string> names;
  // Sized once: growing a large vector frees large blocks, and each such free makes the
  // allocator sweep every small block freed so far.
  names.reserve(commands.size());
  for (const auto& command : commands) {
    if (OwnedBy(command, owner)) {
      names.push_back(command->name);
    }
  }
  return names;
}

template <typename Callback>
void EraseOwned(std::vector<Registration<Callback>>& commands, const std::string& owner) {
  commands.erase(std::remove_if(commands.begin(), commands.end(),
                                [&](const auto& command) { return command->owner == owner; }),
                 commands.end());
}

template <typename Callback>
void AbandonOwned(std::vector<Registration<Callback>>& commands, const std::string& owner) {
  // Reachable from a static, so leak checkers take it for the deliberate keep it is.
  static auto* const kept = new std::vector<Registration<Callback>>();
  for (const auto& command : commands) {
    if (command->owner == owner) {
      kept->push_back(command);
    }
  }
  EraseOwned(commands, owner);
}

template <typename Callback>
Registration<Callback> Made(std::u16string name, std::string owner,
                            const std::function<Callback>& callback) {
  return std::make_shared<const RegisteredCommand<Callback>>(
      RegisteredCommand<Callback>{std::move(name), std::move(owner), callback});
}

}  // namespace

bool CommandRegistry::RemoveChatCommand(const FString& command) {
  const std::u16string name = UnitsOf(command);
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = std::find_if(chat_.begin(), chat_.end(),
                                  [&](const auto& entry) { return entry->name == name; });
  if (found == chat_.end()) {
    return false;
  }
  chat_.erase(found);
  chat_index_stale_ = true;
  return true;
}

bool CommandRegistry::RegisterChatCommand(const FString& command,
                                          const std::function<ChatCommandCallback>& callback) {
  std::lock_guard<std::mutex> lock(mutex_);
  chat_.push_back(Made(UnitsOf(command), owner_, callback));
  chat_index_stale_ = true;
  return true;
}

bool CommandRegistry::RegisterConsoleCommand(
    const FString& command, const std::function<ConsoleCommandCallback>& callback) {
  std::lock_guard<std::mutex> lock(mutex_);
  console_.push_back(Made(UnitsOf(command), owner_, callback));
  return true;
}

void CommandRegistry::SetOwner(std::string owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  owner_ = std::move(owner);
}

void CommandRegistry::Withdraw(const std::string& owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  EraseOwned(chat_, owner);
  EraseOwned(console_, owner);
  chat_index_stale_ = true;
}

void CommandRegistry::Abandon(const std::string& owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  AbandonOwned(chat_, owner);
  AbandonOwned(console_, owner);
  chat_index_stale_ = true;
}

void CommandRegistry::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  chat_.clear();
  console_.clear();
  chat_index_stale_ = true;
  owner_.clear();
}

Registration<ChatCommandCallback> CommandRegistry::FindChat(std::u16string_view word) const {
  if (word.empty()) {
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (chat_index_stale_) {
    chat_index_.clear();
    chat_index_.reserve(chat_.size());
    for (std::size_t i = 0; i < chat_.size(); ++i) {
      if (!chat_[i]->name.empty()) {
        chat_index_.emplace(FoldedName(chat_[i]->name), i);  // keeps the first
      }
    }
    chat_index_stale_ = false;
  }
  const auto found = chat_index_.find(FoldedName(word));
  return found == chat_index_.end() ? nullptr : chat_[found->second];
}

Registration<ConsoleCommandCallback> CommandRegistry::FindConsole(std::u16string_view word) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return FindIn(console_, word);
}

std::vector<std::u16string> CommandRegistry::ChatNames(const std::string* owner) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return NamesIn(chat_, owner);
}

std::vector<Registration<ChatCommandCallback>> CommandRegistry::ChatCommands(
    const std::string* owner) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Registration<ChatCommandCallback>> commands;
  commands.reserve(chat_.size());  // see NamesIn
  for (const auto& command : chat_) {
    if (OwnedBy(command, owner)) {
      commands.push_back(command);
    }
  }
  return commands;
}

std::vector<std::u16string> CommandRegistry::ConsoleNames(const std::string* owner) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return NamesIn(console_, owner);
}

}  // namespace devhost
