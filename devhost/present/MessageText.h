#pragma once
// How a message on a player's screen reads for people (devhost/present/MessageJson.h: for
// programs).

#include <string>

#include "devhost/game/Players.h"

namespace devhost {

// Shortest text that reads back as the same 32-bit float.
std::string FloatText(float value);

// One screen message for people: "ServerChat rgba(1, 0.5, 0, 1): text" and the like.
std::string DescribeMessage(const ScreenMessage& message);
// The same, appended to `out`. Floats read as FloatText writes them.
void AppendMessage(std::string& out, const ScreenMessage& message);

}  // namespace devhost
