#pragma once
// config.json as the plugin reads it, at start and at each reload: the file under the server's
// working directory (ConfigFile.h), opened only when it is a regular file, and its first JSON
// value (FirstValueParser.h). The development host's sessions read it the same way.

#include <string_view>

#include <nlohmann/json.hpp>

namespace quorvane {

// Throws std::runtime_error("Can't open config.json") when the file is missing or not a
// regular file, and the JSON library's parse_error / out_of_range when its text is bad.
nlohmann::json ReadConfigIn(std::string_view server_dir);

}  // namespace quorvane
