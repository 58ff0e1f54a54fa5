#pragma once
// The callable registered for one chat command. It holds only the position of its entry in
// "ChatCommands" and reads that entry afresh at every use, so a reload takes effect at once.

#include <cstdint>

#include "bridge/GameTypes.h"

namespace quorvane {

struct ReplyCallback {
  std::int32_t entry_index;

  // Sends the configured reply to `player` alone. The typed message and the channel are not
  // read. A malformed entry raises the JSON library's type_error before anything is sent.
  void operator()(AShooterPlayerController* player, FString* message,
                  EChatSendMode::Type mode) const;
};

}  // namespace quorvane
