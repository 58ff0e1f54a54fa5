#pragma once
// The 32-bit float the game receives for a number of the configuration.

#include <nlohmann/json.hpp>

namespace quorvane {

// What an IEEE conversion with rounding to nearest gives, reached without undefined behaviour:
// beyond the largest float the result is the largest float or infinity, below the smallest
// it is a denormal or 0.
float ToGameFloat(double value);

// Whether the game receives `value` as a number: any JSON number, and a boolean, true as 1 and
// false as 0, as the JSON library converts them.
bool IsGameNumber(const nlohmann::json& value);

// The nearest float to the number the document holds (a signed or unsigned 64-bit integer or a
// double), rounded once; true is 1 and false 0. Anything else raises the library's type_error
// 302, "type must be number, but is ...".
float GameFloatOf(const nlohmann::json& value);

}  // namespace quorvane
