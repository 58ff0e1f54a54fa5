#pragma once
// The session's own reading of config.json, read as the plugin reads it: once at start and again
// after each reload that answers green. The host never sees the plugin's document (the contract
// stays as it is), so this reading is how a session says why a command sent nothing or failed.
// The explanations are the check's own (devhost/probe/ProbeExplanation.h). Built on the host's
// releases, as the plugin's rules are; this header names none of their types.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace devhost {

struct LoadedDocument;

class SessionReading {
 public:
  explicit SessionReading(std::string server_dir);
  ~SessionReading();
  SessionReading(const SessionReading&) = delete;
  SessionReading& operator=(const SessionReading&) = delete;

  // Reads the server folder's config.json as a reload does. True when the plugin would take it
  // (it opens, parses and every command registers), and it becomes the reading; false when it
  // would refuse it, and the reading stays as it was.
  bool Read();

  // Why the command registered at `position` sent nothing; empty when there is no reading.
  std::string NothingSentReason(std::size_t position) const;
  // Why using the command registered at `position` failed, in words; empty when the reading
  // does not tell.
  std::string FailureReason(std::size_t position) const;
  // Whether the first word of the typed chat line `typed` reaches a command of the file once the
  // file's commands are registered, which happens only at start.
  bool RegisteredAtNextStart(std::string_view typed) const;

 private:
  std::string server_dir_;
  std::shared_ptr<const LoadedDocument> document_;  // null until a read the plugin takes
};

}  // namespace devhost
