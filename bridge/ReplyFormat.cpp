#include "bridge/ReplyFormat.h"

#include <spdlog/fmt/fmt.h>

#include "bridge/HostReleases.h"

namespace quorvane {

std::string FormatWithoutArguments(const char* text) {
  return fmt::format(text == nullptr ? "" : text);
}

std::wstring FormatWithoutArguments(const wchar_t* text) {
  return fmt::format(text == nullptr ? L"" : text);
}

}  // namespace quorvane
