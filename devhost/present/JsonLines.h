#pragma once
// JSON Lines for programs: one object a line, its keys in the order written. A text that is not
// UTF-8 goes out with U+FFFD for each ill-formed byte rather than failing the line, so one odd
// name in a file never costs a reader the rest of the stream.
//
// Every line says what it is under "kind", the one key that tells the lines of any stream
// apart. Session lines have always said it under "event", and the check's, the reload
// preview's and --init's under "finding"; readers rely on those, so they stay, first.

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace devhost {

using JsonLine = nlohmann::ordered_json;

// `value` as JSON text on one line, without a line end.
std::string JsonText(const JsonLine& value);

// A line, begun with its "event" or "finding", as it goes out: with its "kind" beside that.
std::string JsonLineText(const JsonLine& line);

// JsonLineText(line) and a line end.
void PutJson(std::FILE* out, const JsonLine& line);

}  // namespace devhost
