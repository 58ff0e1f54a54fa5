#pragma once
// The library releases the host is built on. The host hands its spdlog sinks (and the fmt
// writers inside their messages) to the plugin, so the plugin and the development host's host
// library must compile against exactly these; a build that picked up any other copy (a system
// package, say) stops here instead of crashing at the first log line.

#include <spdlog/common.h>
#include <spdlog/fmt/fmt.h>
#include <nlohmann/json.hpp>

#include <string_view>

static_assert(std::string_view(SPDLOG_VERSION) == "0.17.0", "the host's spdlog is 0.17.0");
static_assert(FMT_VERSION == 40100, "the host's fmt is the 4.1.0 that spdlog 0.17.0 bundles");
static_assert(NLOHMANN_JSON_VERSION_MAJOR == 3 && NLOHMANN_JSON_VERSION_MINOR == 1 &&
                  NLOHMANN_JSON_VERSION_PATCH == 0,
              "the host's nlohmann json is 3.1.0");
