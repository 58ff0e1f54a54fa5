#pragma once
// JSON Lines for programs: one object a line, its keys in the order written. A text that is not
// UTF-8 goes out with U+FFFD for each ill-formed byte rather than failing the line, so one odd
// name in a file never costs a reader the rest of the stream.

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace devhost {

using JsonLine = nlohmann::ordered_json;

// `value` as JSON text on one line, without a line end.
std::string JsonText(const JsonLine& value);

// `object` and a line end.
void PutJson(std::FILE* out, const JsonLine& object);

}  // namespace devhost
