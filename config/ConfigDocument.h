#pragma once
// The plugin's one configuration document, read in place by key and position.

#include <nlohmann/json.hpp>

// Null until the first successful load.
extern nlohmann::json ConfigDocument;

// Reads <server dir>/ArkApi/Plugins/Quorvane/config.json into ConfigDocument. Throws
// std::runtime_error("Can't open config.json") when the file cannot be opened, and the JSON
// library's parse_error / out_of_range when its text is bad. ConfigDocument changes only when
// the whole file parsed, so a failed load keeps the last good configuration.
void LoadConfig();
