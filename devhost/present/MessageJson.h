#pragma once
// How a message on a player's screen reads for programs. Built on the tools' own JSON release;
// only the JSON writers include this.

#include <nlohmann/json.hpp>

#include "devhost/game/Players.h"

namespace devhost {

// The float as a JSON number; infinities and NaN, which JSON cannot hold, as the strings
// "inf", "-inf" and "nan".
nlohmann::ordered_json FloatJson(float value);
// One screen message for programs: "type", then the kind's own fields, in a fixed order.
nlohmann::ordered_json MessageFields(const ScreenMessage& message);

}  // namespace devhost
