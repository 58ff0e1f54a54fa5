#pragma once
// The time a log line begins with, cut off or masked so tests compare the rest exactly. The
// plugin's lines begin "MM/DD/YY HH:MM ", the host's "YYYY-MM-DD HH:MM:SS ".

#include <regex>
#include <string>

namespace test_support {

enum class LogTime { Any, Plugin, Host };

inline const std::string kPluginLogTime = R"(\d\d/\d\d/\d\d \d\d:\d\d)";
inline const std::string kHostLogTime = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)";
inline const std::string kAnyLogTime = "(" + kPluginLogTime + "|" + kHostLogTime + ")";

// The line without its time and the blank after it. With a layout named, a line that does not
// begin with that layout's time comes back whole, so comparing it with the rest fails.
inline std::string WithoutTime(const std::string& line, LogTime layout = LogTime::Any) {
  static const std::regex kTimes[] = {std::regex("^" + kAnyLogTime + " "),
                                      std::regex("^" + kPluginLogTime + " "),
                                      std::regex("^" + kHostLogTime + " ")};
  return std::regex_replace(line, kTimes[static_cast<int>(layout)], "",
                            std::regex_constants::format_first_only);
}

// Every log time in `text` that stands before a logger's "[name]", at a line's start or inside
// a JSON string, written "TIME".
inline std::string MaskedTimes(const std::string& text) {
  static const std::regex kTime(kAnyLogTime + R"( \[)");
  return std::regex_replace(text, kTime, "TIME [");
}

}  // namespace test_support
