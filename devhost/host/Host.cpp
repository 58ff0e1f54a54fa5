#include "devhost/host/Host.h"

#include <filesystem>
#include <new>

#include <spdlog/logger.h>

#include "bridge/FString.h"
#include "bridge/HostReleases.h"
#include "devhost/game/GameFunctionTable.h"
#include "devhost/os/ConsoleSink.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

std::string WorkingDirectory() {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string(".") : path.string();
}

// A game string that the game itself owns. FString's own copy and destruction are the plugin's
// code, which the host does not link; a union member is never destroyed implicitly, so only the
// record's inline empty construction is used and the owner releases the storage.
union GameOwnedString {
  GameOwnedString() : string() {}
  ~GameOwnedString() {}
  FString string;
};

// The typed text as the game hands it to a command callback, built and released with the
// game's allocator directly.
class TypedMessage {
 public:
  TypedMessage(GameAllocator& allocator, std::u16string_view units) : allocator_(allocator) {
    if (units.empty()) {
      return;
    }
    const auto count = static_cast<std::int32_t>(units.size() + 1);
    owned_.string.Data = static_cast<char16_t*>(
        allocator_.Realloc(nullptr, static_cast<std::uint64_t>(count) * sizeof(char16_t)));
    if (owned_.string.Data == nullptr) {
      throw std::bad_alloc();
    }
    std::copy(units.begin(), units.end(), owned_.string.Data);
    owned_.string.Data[units.size()] = u'\0';
    owned_.string.Count = count;
    owned_.string.Capacity = count;
  }
  TypedMessage(const TypedMessage&) = delete;
  TypedMessage& operator=(const TypedMessage&) = delete;
  ~TypedMessage() {
    if (owned_.string.Data != nullptr) {
      allocator_.Free(owned_.string.Data);
    }
  }
  FString* get() { return &owned_.string; }

 private:
  GameAllocator& allocator_;
  GameOwnedString owned_;
};

}  // namespace

Host& Host::Instance() {
  static Host host;
  return host;
}

Host::Host() {
  // The game complains in the host's log, as the real game's warnings reach the server's.
  game_.SetWarning([this](const std::string& text) { logger_->warn("{}", text); });
  Reset();
}

void Host::Reset() {
  SetSinks({MakeConsoleSink()});
  registry_.Clear();
  std::lock_guard<std::mutex> lock(state_mutex_);
  server_dir_ = WorkingDirectory();
  addresses_ = GameFunctionTable();
  game_.Reset();
}

void Host::SetServerDir(std::string directory) {
  std::lock_guard<std::mutex> lock(state_mutex_);
  server_dir_ = std::move(directory);
}

std::string Host::ServerDir() const {
  std::lock_guard<std::mutex> lock(state_mutex_);
  return server_dir_;
}

void Host::SetSinks(SinkList sinks) {
  sinks_ = std::move(sinks);
  logger_ = std::make_shared<spdlog::logger>("devhost", sinks_.begin(), sinks_.end());
  logger_->set_pattern(kHostLogPattern, spdlog::pattern_time_type::local);
  logger_->flush_on(spdlog::level::info);
}

void* Host::Resolve(const std::string& name) {
  void* address = nullptr;
  {
    std::lock_guard<std::mutex> lock(state_mutex_);
    const auto found = addresses_.find(name);
    if (found != addresses_.end()) {
      address = found->second;
    }
  }
  game_.GetTrace().Record(TraceEvent::Kind::Lookup, name, nullptr, 0, address);
  if (address == nullptr) {
    logger_->warn("GetAddress: no game function named \"{}\"", name);
  }
  return address;
}

void Host::SetAddress(const std::string& name, void* address) {
  std::lock_guard<std::mutex> lock(state_mutex_);
  addresses_[name] = address;
}

void Host::RestoreAddresses() {
  std::lock_guard<std::mutex> lock(state_mutex_);
  addresses_ = GameFunctionTable();
}

template <typename Run>
DispatchResult Host::Dispatch(const std::u16string& name, std::u16string_view text, Run run) {
  DispatchResult result;
  result.command = Utf16ToUtf8(name);
  std::lock_guard<std::mutex> lock(dispatch_mutex_);
  try {
    TypedMessage message(game_.Allocator(), text);
    run(message.get());
    result.status = DispatchResult::Status::Done;
  } catch (const std::exception& error) {
    result.status = DispatchResult::Status::Failed;
    result.error = error.what();
  } catch (...) {
    result.status = DispatchResult::Status::Failed;
    result.error = "unknown exception";
  }
  if (result.status == DispatchResult::Status::Failed) {
    logger_->error("command {} failed: {}", result.command, result.error);
  }
  return result;
}

DispatchResult Host::DispatchChat(AShooterPlayerController* player, std::string_view text,
                                  EChatSendMode::Type mode) {
  const std::u16string units = Utf8ToUtf16(text);
  const auto command = registry_.FindChat(FirstWord(units));
  if (!command) {
    return {};
  }
  return Dispatch(command->name, units,
                  [&](FString* message) { command->callback(player, message, mode); });
}

DispatchResult Host::DispatchChatTo(const RegisteredCommand<ChatCommandCallback>& command,
                                    AShooterPlayerController* player, std::string_view text) {
  return Dispatch(command.name, Utf8ToUtf16(text), [&](FString* message) {
    command.callback(player, message, EChatSendMode::GlobalChat);
  });
}

DispatchResult Host::DispatchConsole(AShooterPlayerController* player, std::string_view text) {
  const std::u16string units = Utf8ToUtf16(text);
  const auto command = registry_.FindConsole(FirstWord(units));
  if (!command) {
    return {};
  }
  APlayerController* caller = player;  // null for the server console
  return Dispatch(command->name, units,
                  [&](FString* message) { command->callback(caller, message, false); });
}

}  // namespace devhost
