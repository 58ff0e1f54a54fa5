#pragma once
// The plugin's one configuration document, read in place by key and position.

#include <nlohmann/json.hpp>

namespace quorvane {

// Null until the first successful load.
extern nlohmann::json ConfigDocument;

// Reads and parses config.json in the server's working directory (see ConfigFile.h) without
// touching ConfigDocument. Throws std::runtime_error("Can't open config.json") when the file
// is missing or not a regular file, and the JSON library's parse_error / out_of_range when its
// text is bad.
nlohmann::json ReadConfig();

// ReadConfig into ConfigDocument. The document changes only when the whole file parsed, so a
// failed load keeps the last good configuration.
void LoadConfig();

}  // namespace quorvane
