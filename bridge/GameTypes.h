#pragma once
// Game types the plugin only passes around by pointer. The game (or the development host)
// defines the controller classes; the plugin never looks inside them.

class APlayerController;
class AShooterPlayerController;
struct FString;

namespace EChatSendMode {
enum Type { GlobalChat = 0, GlobalTribeChat = 1, LocalChat = 2, AllianceChat = 3, MAX = 4 };
}  // namespace EChatSendMode
