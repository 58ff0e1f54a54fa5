// libFuzzer target: starts the plugin under the development host on a fuzzed config.json and
// plays a short sequence of commands and reloads, checking after each step that
//   - only the failures the plugin documents escape its code (the JSON library's parse_error,
//     type_error and out_of_range, fmt's format_error, and plain std::runtime_error),
//   - a failed command put nothing on the player's screen,
//   - the host still dispatches commands,
//   - every block of the game's allocator has been handed back.
// A violation aborts, so libFuzzer keeps the input.
//
// Input: sections separated by a line "%%": the first is config.json; the second is the action
// script; the rest are the files that successive reloads write before reloading. Actions, one
// byte each: '0'..'9' a player types the registered chat command at that position (modulo the
// number of commands); 'r' a player reloads with the next file; 'R' the server console does;
// 'x' the file is deleted, then a player reloads. Other bytes are ignored.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include <unistd.h>

#include <spdlog/fmt/fmt.h>
#include <spdlog/sinks/null_sink.h>
#include <nlohmann/json.hpp>

#include "bridge/FString.h"
#include "config/ConfigDocument.h"
#include "config/ConfigFile.h"
#include "devhost/host/Host.h"
#include "devhost/text/Text.h"
#include "plugin/ReloadCommandName.h"
#include "plugin/StartPlugin.h"

using quorvane::ConfigDocument;
using quorvane::kConfigFileInServer;
using quorvane::kReloadCommandName;
using quorvane::StartPlugin;

namespace {

using devhost::DispatchResult;
using devhost::Host;

constexpr std::string_view kSeparator = "\n%%\n";
constexpr std::size_t kMaxActions = 24;
const std::string kPluginOwner = "Quorvane";
const std::string kHarnessOwner = "fuzzer";

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "quorvane_fuzzer: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// Runs `step` and lets through only the exception kinds the plugin documents.
template <typename Step>
void OnlyDocumentedFailures(const char* where, Step&& step) {
  try {
    step();
  } catch (const nlohmann::json::parse_error&) {
    throw;
  } catch (const nlohmann::json::type_error&) {
    throw;
  } catch (const nlohmann::json::out_of_range&) {
    throw;
  } catch (const fmt::FormatError&) {
    throw;
  } catch (const std::runtime_error& error) {
    if (typeid(error) != typeid(std::runtime_error)) {
      Fail(std::string(where) + ": undocumented " + typeid(error).name() + ": " + error.what());
    }
    throw;
  } catch (const std::exception& error) {
    Fail(std::string(where) + ": undocumented " + typeid(error).name() + ": " + error.what());
  } catch (...) {
    Fail(std::string(where) + ": a non-standard exception escaped");
  }
}

std::vector<std::string_view> Sections(std::string_view input) {
  std::vector<std::string_view> sections;
  while (true) {
    const std::size_t at = input.find(kSeparator);
    if (at == std::string_view::npos) {
      sections.push_back(input);
      return sections;
    }
    sections.push_back(input.substr(0, at));
    input.remove_prefix(at + kSeparator.size());
  }
}

class Harness {
 public:
  Harness() {
    std::error_code ignored;
    server_dir_ = std::filesystem::temp_directory_path(ignored) /
                  ("quorvane-fuzz-" + std::to_string(::getpid()));
    config_path_ = server_dir_ / kConfigFileInServer;
    std::filesystem::create_directories(config_path_.parent_path());
  }
  ~Harness() {
    std::error_code ignored;
    std::filesystem::remove_all(server_dir_, ignored);
  }
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  void Run(std::string_view input) {
    const std::vector<std::string_view> sections = Sections(input);
    next_file_ = 2;
    files_ = &sections;

    Host& host = Host::Instance();
    host.Reset();
    host.SetServerDir(server_dir_.string());
    host.SetSinks({std::make_shared<spdlog::sinks::null_sink_mt>()});
    player_ = &host.Player("fuzzer");
    ConfigDocument = nullptr;  // as after the library's static initialisation
    WriteConfig(sections[0]);

    if (Start(host)) {
      const std::string_view actions = sections.size() > 1 ? sections[1] : std::string_view();
      std::size_t played = 0;
      for (const char action : actions) {
        if (played == kMaxActions) {
          break;
        }
        if (Play(host, action)) {
          ++played;
          CheckServing(host);
          CheckBalance(host, "after an action");
        }
      }
    }
    host.Registry().Clear();
    ConfigDocument = nullptr;
    files_ = nullptr;
  }

 private:
  // Starts the plugin as the host does, then puts each of its callbacks behind a check of the
  // exceptions that leave it. Returns whether the plugin started.
  bool Start(Host& host) {
    host.Registry().SetOwner(kPluginOwner);
    bool started = true;
    try {
      OnlyDocumentedFailures("start", [] { StartPlugin(); });
    } catch (const std::exception&) {
      started = false;
    }
    CheckBalance(host, "after start");
    if (!started) {
      host.Registry().Withdraw(kPluginOwner);
      host.Registry().SetOwner({});
      return false;
    }

    chat_names_.clear();
    std::vector<std::function<ChatCommandCallback>> chat;
    for (const std::u16string& name : host.Registry().ChatNames(&kPluginOwner)) {
      // The host answers a name with its first registration, so duplicates share a callback;
      // an empty name can never be typed.
      const auto found = host.Registry().FindChat(name);
      if (found) {
        chat_names_.push_back(devhost::Utf16ToUtf8(name));
        chat.push_back(found->callback);
      }
    }
    const auto reload = host.Registry().FindConsole(devhost::Utf8ToUtf16(kReloadCommandName));
    if (!reload) {
      Fail(std::string("the plugin started without registering ") + kReloadCommandName);
    }
    host.Registry().Withdraw(kPluginOwner);

    host.Registry().SetOwner(kHarnessOwner);
    for (std::size_t i = 0; i < chat.size(); ++i) {
      const FString name = FString::FromNarrow(chat_names_[i].c_str());
      host.Registry().RegisterChatCommand(
          name, [inner = chat[i]](AShooterPlayerController* player, FString* message,
                                  EChatSendMode::Type mode) {
            OnlyDocumentedFailures("chat command", [&] { inner(player, message, mode); });
          });
    }
    const FString reload_name = FString::FromNarrow(kReloadCommandName);
    host.Registry().RegisterConsoleCommand(
        reload_name,
        [inner = reload->callback](APlayerController* player, FString* message, bool log) {
          OnlyDocumentedFailures("reload", [&] { inner(player, message, log); });
        });
    const FString ping_name = FString::FromNarrow("Fuzzer.Ping");
    host.Registry().RegisterConsoleCommand(
        ping_name, [this](APlayerController*, FString*, bool) { ++pings_; });
    host.Registry().SetOwner({});
    return true;
  }

  // Returns whether the byte was an action.
  bool Play(Host& host, char action) {
    player_->ClearScreen();
    if (action >= '0' && action <= '9') {
      if (chat_names_.empty()) {
        return false;
      }
      const std::string& name =
          chat_names_[static_cast<std::size_t>(action - '0') % chat_names_.size()];
      const DispatchResult result = host.DispatchChat(player_, name + " typed words");
      if (result.status == DispatchResult::Status::Failed && !player_->Screen().empty()) {
        Fail("a failed command still sent: " + result.error);
      }
      if (player_->Screen().size() > 1) {
        Fail("one command sent more than one message");
      }
      return true;
    }
    if (action == 'r' || action == 'R' || action == 'x') {
      if (action == 'x') {
        std::error_code ignored;
        std::filesystem::remove(config_path_, ignored);
      } else if (next_file_ < files_->size()) {
        WriteConfig((*files_)[next_file_++]);
      }
      const bool from_player = action != 'R';
      const DispatchResult result =
          host.DispatchConsole(from_player ? player_ : nullptr, kReloadCommandName);
      if (result.status != DispatchResult::Status::Done) {
        Fail("the reload command failed: " + result.error);
      }
      if (from_player && player_->Screen().size() != 1) {
        Fail("a reload did not answer its caller exactly once");
      }
      return true;
    }
    return false;
  }

  void CheckServing(Host& host) {
    const int before = pings_;
    const DispatchResult result = host.DispatchConsole(nullptr, "Fuzzer.Ping");
    if (result.status != DispatchResult::Status::Done || pings_ != before + 1) {
      Fail("the host stopped dispatching commands");
    }
  }

  static void CheckBalance(Host& host, const char* when) {
    const devhost::AllocatorStats stats = host.Allocator().Stats();
    if (stats.live_blocks != 0) {
      Fail(std::string("game allocator holds ") + std::to_string(stats.live_blocks) + " blocks " +
           when);
    }
  }

  void WriteConfig(std::string_view bytes) const {
    std::ofstream file(config_path_, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::filesystem::path server_dir_;
  std::filesystem::path config_path_;
  AShooterPlayerController* player_ = nullptr;
  std::vector<std::string> chat_names_;
  const std::vector<std::string_view>* files_ = nullptr;
  std::size_t next_file_ = 2;
  int pings_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  harness.Run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
