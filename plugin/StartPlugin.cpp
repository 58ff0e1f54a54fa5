#include "plugin/StartPlugin.h"

#include <exception>
#include <memory>

#include <spdlog/logger.h>

#include "bridge/HostApi.h"
#include "bridge/HostReleases.h"
#include "commands/RegisterChatCommands.h"
#include "config/ConfigDocument.h"
#include "plugin/PluginLogger.h"
#include "plugin/ReloadCommand.h"

namespace quorvane {

namespace {

bool failure_logged = false;

}  // namespace

void StartPlugin() {
  failure_logged = false;
  std::shared_ptr<spdlog::logger>& holder = PluginLogger();
  const auto& sinks = GetLogSinks();
  // Not entered in spdlog's registry: the holder is the only owner.
  holder = std::make_shared<spdlog::logger>("Quorvane", sinks.begin(), sinks.end());
  // The pattern is the logger's own: the host's shared sinks keep writing the host's lines,
  // and every other plugin's, in their own format.
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

}  // namespace quorvane
