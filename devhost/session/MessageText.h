#pragma once
// How a message on a player's screen reads: a line for people, fields for programs.

#include <string>

#include <nlohmann/json.hpp>

#include "devhost/lib/Players.h"

namespace devhost {

// Shortest text that reads back as the same 32-bit float.
std::string FloatText(float value);
// The float as a JSON number; infinities and NaN, which JSON cannot hold, as the strings
// "inf", "-inf" and "nan".
nlohmann::ordered_json FloatJson(float value);

// One screen message for people: "ServerChat rgba(1, 0.5, 0, 1): text" and the like.
std::string DescribeMessage(const ScreenMessage& message);
// The same, appended to `out`. Floats read as FloatText writes them.
void AppendMessage(std::string& out, const ScreenMessage& message);
// One screen message for programs: "type", then the kind's own fields, in a fixed order.
nlohmann::ordered_json MessageFields(const ScreenMessage& message);

}  // namespace devhost
