#include "plugin/PluginLogger.h"

std::shared_ptr<spdlog::logger>& PluginLogger() {
  static std::shared_ptr<spdlog::logger> holder;
  return holder;
}
