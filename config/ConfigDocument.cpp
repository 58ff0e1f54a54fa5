#include "config/ConfigDocument.h"

#include <stdexcept>
#include <utility>

#include "bridge/HostApi.h"
#include "config/ConfigFile.h"
#include "config/FirstValueParser.h"

namespace quorvane {

nlohmann::json ConfigDocument;

nlohmann::json ReadConfig() {
  ConfigFileOpen file = OpenConfigFile(ConfigPathIn(ArkApi::Tools::GetCurrentDir()));
  if (file.problem) {
    throw std::runtime_error("Can't open config.json");
  }
  return ParseFirstValue(file.stream);
}

void LoadConfig() {
  // Parse aside and swap in only a complete document: a typo followed by a reload must not
  // break the commands of a running server.
  nlohmann::json parsed = ReadConfig();
  ConfigDocument = std::move(parsed);
}

}  // namespace quorvane
