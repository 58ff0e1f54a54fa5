#include "config/ConfigDocument.h"

#include <utility>

#include "bridge/HostApi.h"
#include "config/ConfigRead.h"

namespace quorvane {

nlohmann::json ConfigDocument;

nlohmann::json ReadConfig() {
  return ReadConfigIn(ArkApi::Tools::GetCurrentDir());
}

void LoadConfig() {
  // Parse aside and swap in only a complete document: a typo followed by a reload must not
  // break the commands of a running server.
  nlohmann::json parsed = ReadConfig();
  ConfigDocument = std::move(parsed);
}

}  // namespace quorvane
