#include "config/ConfigDocument.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bridge/HostApi.h"
#include "config/FirstValueParser.h"

nlohmann::json ConfigDocument;

void LoadConfig() {
  const std::string path = ArkApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/Quorvane/config.json";
  std::ifstream file(path);  // text mode where the platform has one
  std::error_code ignored;
  // A folder opens as a stream on some platforms but can never be read as a file.
  if (!file.is_open() || std::filesystem::is_directory(path, ignored)) {
    throw std::runtime_error("Can't open config.json");
  }
  // Read in blocks: a character at a time cost more than the parse itself on large files.
  std::string content;
  char block[16384];
  while (file.read(block, sizeof block) || file.gcount() > 0) {
    content.append(block, static_cast<std::size_t>(file.gcount()));
  }
  // Parse aside and swap in only a complete document: a typo followed by a reload must not
  // break the commands of a running server.
  nlohmann::json parsed = ParseFirstValue(WithoutByteOrderMark(content));
  ConfigDocument = std::move(parsed);
}
