// The host's exported functions, served by the development host.

#include "bridge/HostApi.h"
#include "devhost/host/Host.h"
#include "devhost/text/Text.h"

namespace {

class ApiUtils final : public ArkApi::IApiUtils {
 public:
  bool IsServerReady() const override { return true; }
};

}  // namespace

namespace ArkApi {

ICommands& GetCommands() {
  return devhost::Host::Instance().Registry();
}

IApiUtils& GetApiUtils() {
  static ApiUtils utils;
  return utils;
}

namespace Tools {

std::string GetCurrentDir() {
  return devhost::Host::Instance().ServerDir();
}

std::wstring Utf8Decode(const std::string& text) {
  return devhost::Utf8ToWide(text);
}

}  // namespace Tools
}  // namespace ArkApi

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() {
  return devhost::Host::Instance().Sinks();
}

void* GetAddress(const std::string& name) {
  return devhost::Host::Instance().Resolve(name);
}
