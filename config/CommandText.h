#pragma once
// What the host registers for a "Command": the text up to its first zero byte, each byte
// above 0x7F turned into '?'. The host's command names are narrow ASCII; UTF-8 is not decoded.

#include <string>
#include <string_view>

namespace quorvane {

std::string CommandTextAsRegistered(std::string_view command);

}  // namespace quorvane
