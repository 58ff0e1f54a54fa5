#pragma once
// The reply kinds an entry's "Type" may name, compared byte for byte, case included. Any other
// text sends nothing.

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace quorvane {

inline constexpr std::string_view kServerChat = "ServerChat";
inline constexpr std::string_view kClientChat = "ClientChat";
inline constexpr std::string_view kNotification = "Notification";
inline constexpr std::array<std::string_view, 3> kReplyTypes = {kServerChat, kClientChat,
                                                                kNotification};

inline bool IsReplyType(std::string_view type) {
  return std::find(kReplyTypes.begin(), kReplyTypes.end(), type) != kReplyTypes.end();
}

// "ServerChat, ClientChat, Notification", for messages.
inline std::string ReplyTypeList() {
  std::string list;
  for (const std::string_view type : kReplyTypes) {
    list.append(list.empty() ? "" : ", ").append(type);
  }
  return list;
}

}  // namespace quorvane
