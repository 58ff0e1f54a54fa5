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

bool failure_logged = false;

}  // namespace

void StartPlugin() {
  failure_logged = false;
  std::shared_ptr<spdlog::logger>& holder = PluginLogger();
  const auto& sinks = GetLogSinks();
  // Not entered in spdlog's registry: the holder is the only owner.
  holder = std::make_shared<spdlog::logger>("Quorvane", sinks.begin(), sinks.end());
  // spdlog 1.x keeps the pattern in each sink, and these sinks are the host's: this restyles the
  // host's own lines and every other plugin's that share them, from here on. Quorvane's line
  // format is kept as it is; README says what a host built on spdlog 1.x will see.
  holder->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  holder->flush_on(spdlog::level::info);

  try {
    LoadConfig();
  } catch (const std::exception& error) {
    PluginLogger()->error("{}", error.what());
    failure_logged = true;
    throw;
  }

  RegisterChatCommands();
  RegisterReloadCommand();
}

bool StartPluginLogged() {
  return failure_logged;
}
