#include "plugin/PluginLogger.h"

namespace quorvane {

std::shared_ptr<spdlog::logger>& PluginLogger() {
  static std::shared_ptr<spdlog::logger> holder;
  return holder;
}

}  // namespace quorvane
