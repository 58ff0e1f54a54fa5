#pragma once
// The process-wide holder of the plugin's logger. Created empty on first access; StartPlugin
// fills it. Callers take the logger from the holder when they log and never keep it.

#include <memory>

#include <spdlog/logger.h>

namespace quorvane {

std::shared_ptr<spdlog::logger>& PluginLogger();

}  // namespace quorvane
