#include "config/ConfigRead.h"

#include <stdexcept>

#include "config/ConfigFile.h"
#include "config/FirstValueParser.h"

namespace quorvane {

nlohmann::json ReadConfigIn(std::string_view server_dir) {
  ConfigFileOpen file = OpenConfigFile(ConfigPathIn(server_dir));
  if (file.problem) {
    throw std::runtime_error("Can't open config.json");
  }
  return ParseFirstValue(file.stream);
}

}  // namespace quorvane
