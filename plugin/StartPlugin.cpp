#include "plugin/StartPlugin.h"

#include <exception>
#include <memory>

#include <spdlog/logger.h>

#include "bridge/HostApi.h"
#include "commands/RegisterChatCommands.h"
#include "config/ConfigDocument.h"
#include "plugin/PluginLogger.h"
#include "plugin/ReloadCommand.h"

namespace {

// Compared by address only, never dereferenced: the object may be gone by then.
const std::exception* logged_failure = nullptr;

}  // namespace

void StartPlugin() {
  logged_failure = nullptr;
  std::shared_ptr<spdlog::logger>& holder = PluginLogger();
  const auto& sinks = GetLogSinks();
  // Not entered in spdlog's registry: the holder is the only owner.
  holder = std::make_shared<spdlog::logger>("Quorvane", sinks.begin(), sinks.end());
  holder->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  holder->flush_on(spdlog::level::info);

  try {
    LoadConfig();
  } catch (const std::exception& error) {
    PluginLogger()->error("{}", error.what());
    logged_failure = &error;
    throw;
  }

  RegisterChatCommands();
  RegisterReloadCommand();
}

bool StartPluginLogged(const std::exception& error) {
  return &error == logged_failure;
}
