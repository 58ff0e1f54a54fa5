#include "devhost/session/Session.h"

#include <cstdio>
#include <optional>

#include "config/ByteOrderMark.h"
#include "devhost/host/Host.h"
#include "devhost/present/Output.h"

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

  const DispatchResult result = parsed.kind == SessionLine::Kind::Chat
                                    ? host_.DispatchChat(player, parsed.text)
                                    : host_.DispatchConsole(player, parsed.text);
  switch (result.status) {
    case DispatchResult::Status::Unmatched:
      writer_.Unmatched(player_name, parsed.text);
      break;
    case DispatchResult::Status::Failed:
      writer_.CommandFailed(player_name, result.command, result.error);
      break;
    case DispatchResult::Status::Done:
      if (player == nullptr) {
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
