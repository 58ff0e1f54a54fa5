#pragma once
// The host's log sink for the console, in the platform's colours.

#include <memory>

namespace spdlog {
namespace sinks {
class sink;
}  // namespace sinks
}  // namespace spdlog

namespace devhost {

std::shared_ptr<spdlog::sinks::sink> MakeConsoleSink();

}  // namespace devhost
