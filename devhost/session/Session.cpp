#include "devhost/session/Session.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "config/ByteOrderMark.h"
#include "devhost/host/Host.h"
#include "devhost/present/DisplayColour.h"
#include "devhost/present/Output.h"
#include "devhost/session/SessionReading.h"
#include "plugin/ReloadCommandName.h"

namespace devhost {

std::string_view Trimmed(std::string_view text) {
  constexpr const char* kBlanks = " \t\r\n";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

SessionLine ParseSessionLine(std::string_view line) {
  line = Trimmed(line);
  SessionLine result;
  if (line.empty() || line.front() == '#') {
    return result;
  }
  if (line.front() == '>') {
    result.kind = SessionLine::Kind::ServerConsole;
    result.text = std::string(Trimmed(line.substr(1)));
    return result;
  }
  const std::size_t separator = line.find_first_of(":>");
  const std::string_view name = line.substr(0, separator);
  if (separator == std::string_view::npos) {
    result.reason = "no ':' or '>' after a player name";
  } else if (name.empty()) {
    result.reason = "no player name before ':'";
  } else if (name.find_first_of(" \t") != std::string_view::npos) {
    result.reason = "the player name contains a blank";
  }
  if (!result.reason.empty()) {
    result.kind = SessionLine::Kind::Invalid;
    return result;
  }
  result.kind = line[separator] == ':' ? SessionLine::Kind::Chat : SessionLine::Kind::PlayerConsole;
  result.player = std::string(name);
  result.text = std::string(Trimmed(line.substr(separator + 1)));
  return result;
}

void Session::Explain(SessionReading& reading, std::vector<std::string> chat_commands) {
  reading_ = &reading;
  chat_commands_ = std::move(chat_commands);
}

std::size_t Session::PositionOf(const std::string& command) const {
  // The host hands a typed line to the first registration its word matches, so the first of
  // that exact text is the one that ran. None: the number of commands.
  return static_cast<std::size_t>(std::find(chat_commands_.begin(), chat_commands_.end(), command) -
                                  chat_commands_.begin());
}

void Session::Reloaded(AShooterPlayerController* player, const std::string& command) {
  if (player != nullptr) {
    // The player saw the answer; green says the plugin now holds the file it read.
    const auto& screen = player->Screen();
    if (!screen.empty()) {
      const Rgb8 shown = DisplayColour(screen.back().colour);
      const FBgraColor green = quorvane::ColourGreen;
      if (shown.r == green.R && shown.g == green.G && shown.b == green.B) {
        reading_->Read();
      }
    }
    return;
  }
  // The server console has no screen, and the plugin sends its answer to none. The reload
  // answers green exactly when it takes the file, and the reading takes it by the same rules.
  const bool ok = reading_->Read();
  writer_.ConsoleAnswer(command, ok,
                        ok ? quorvane::kReloadedAnswer : quorvane::kReloadFailedAnswer);
}

bool Session::Process(std::string_view line, std::size_t line_number) {
  const SessionLine parsed = ParseSessionLine(line);
  if (parsed.kind == SessionLine::Kind::Skip) {
    return true;
  }
  if (parsed.kind == SessionLine::Kind::Invalid) {
    ++invalid_lines_;
    writer_.InvalidLine(line_number, std::string(line), parsed.reason);
    return false;
  }

  AShooterPlayerController* player =
      parsed.kind == SessionLine::Kind::ServerConsole ? nullptr : &host_.Player(parsed.player);
  const std::optional<std::string> player_name =
      player != nullptr ? std::optional<std::string>(parsed.player) : std::nullopt;
  if (player != nullptr) {
    player->ClearScreen();  // the record then holds what this line sent the player
  }

  const bool chat = parsed.kind == SessionLine::Kind::Chat;
  const DispatchResult result =
      chat ? host_.DispatchChat(player, parsed.text) : host_.DispatchConsole(player, parsed.text);
  // Chat commands are explained from the reading, by the position of the entry the one that
  // ran is bound to; console commands are the plugin's own.
  const bool reads = chat && reading_ != nullptr;
  const std::size_t position = reads ? PositionOf(result.command) : chat_commands_.size();
  const bool explained = position < chat_commands_.size();
  switch (result.status) {
    case DispatchResult::Status::Unmatched:
      writer_.Unmatched(player_name, parsed.text,
                        reads && reading_->RegisteredAtNextStart(parsed.text));
      break;
    case DispatchResult::Status::Failed:
      writer_.CommandFailed(player_name, result.command, result.error,
                            explained ? reading_->FailureReason(position) : std::string());
      break;
    case DispatchResult::Status::Done:
      if (chat && player->Screen().empty()) {
        const std::string reason = explained ? reading_->NothingSentReason(position) : "";
        writer_.NothingSent(parsed.player, result.command,
                            reason.empty() ? std::string("the plugin sent nothing") : reason);
      } else if (!chat && reading_ != nullptr && result.command == quorvane::kReloadCommandName) {
        Reloaded(player, result.command);
      } else if (player == nullptr) {
        writer_.AnswerWithoutScreen(parsed.text);
      }
      break;
  }
  Flush(stdout);
  return true;
}

void Session::Run(std::istream& input) {
  std::string line;
  std::size_t number = 0;
  while (std::getline(input, line)) {
    // Windows editors begin a UTF-8 file with a byte-order mark; it is no part of the line.
    const std::string_view text = number == 0 ? quorvane::WithoutByteOrderMark(line) : line;
    Process(text, ++number);
  }
}

}  // namespace devhost
