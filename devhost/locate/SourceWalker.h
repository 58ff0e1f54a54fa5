#pragma once
// Follows the plugin's own parse of config.json and keeps where things stand: the top-level
// members, each "ChatCommands" entry with its members while it is judged, keys given twice, and
// on a failure the containers still open. An entry is handed to the judge as soon as it is
// complete, so what the walk keeps does not grow with the file.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/FirstValueParser.h"
#include "devhost/locate/SourceSpan.h"

namespace devhost {

struct MemberSource {
  std::string key;
  Span key_span;
  Span value;
  std::vector<Span> elements;  // the value's elements, when it is an array
};

// One element of "ChatCommands" as written.
struct EntrySource {
  std::string pointer;                // e.g. "/ChatCommands/2"
  Span value;                         // the whole element
  std::vector<MemberSource> members;  // in file order, a repeated key each time

  // The member whose value counts: the first of its key.
  const MemberSource* Find(std::string_view key) const;
  std::string PointerOf(std::string_view key) const { return pointer + PointerSegment(key); }
};

// A key given again in one object: its second occurrence.
struct RepeatedKeySource {
  std::string key;
  std::string pointer;
  Span key_span;
  std::string ignored;  // the value the plugin drops, as JSON; empty for a container
  bool ignored_is_object = false;
  bool ignored_is_array = false;
  std::optional<std::size_t> entry;  // the entry's position in "ChatCommands", inside one
};

// A container still open when the parse failed.
struct OpenContainer {
  bool object = false;
  std::size_t bracket = 0;  // its opening bracket
  std::string pointer;
  bool expects_key = false;  // an object after '{' or ',', where only a key may come
  bool after_value = false;  // a member or element is complete and no ',' has come yet
};

class SourceWalker final : public quorvane::ParseObserver {
 public:
  using Judge =
      std::function<void(const nlohmann::json& entry, std::size_t position, const EntrySource&)>;
  explicit SourceWalker(Judge judge) : judge_(std::move(judge)) {}

  void Token(int depth, Event event, const nlohmann::json& parsed, std::size_t begin,
             std::size_t end) override;
  void ValueEnd(std::size_t offset) override { value_end_ = offset; }
  void Failed(const quorvane::ParseStop& stop) override;

  Span Document() const { return document_; }
  std::size_t ValueEndOffset() const { return value_end_; }
  const std::vector<MemberSource>& TopMembers() const { return top_; }
  const MemberSource* TopMember(std::string_view key) const;
  const std::vector<RepeatedKeySource>& Repeats() const { return repeats_; }
  const std::optional<quorvane::ParseStop>& Stop() const { return stop_; }
  // Outermost first; empty unless the parse failed.
  const std::vector<OpenContainer>& OpenAtStop() const { return open_at_stop_; }

 private:
  enum class Role { Top, Commands, CommandsObject, Entry, EntryValue, Other };
  struct Frame {
    bool object = false;
    Role role = Role::Other;
    const nlohmann::json* container = nullptr;
    std::size_t bracket = 0;
    std::size_t completed = 0;
    std::string key;  // objects: the key of the member being read
    bool repeated = false;
    bool has_key = false;  // objects: a key has come and its value has not
  };

  std::string PointerOf(std::size_t frames) const;
  Role RoleOfChild(bool object) const;
  void Open(Event event, const nlohmann::json& parsed, std::size_t begin);
  void Key(const std::string& key, Span span);
  void Value(const nlohmann::json& parsed, Span span);
  void EntryDone(const nlohmann::json& entry, std::size_t position, EntrySource&& source);

  Judge judge_;
  std::vector<Frame> frames_;
  std::vector<MemberSource> top_;
  EntrySource entry_;
  // "ChatCommands" as an object: its entries are judged in key order once it is complete.
  std::vector<std::pair<std::string, EntrySource>> by_key_;
  std::vector<RepeatedKeySource> repeats_;
  Span document_;
  std::size_t value_end_ = 0;
  std::optional<quorvane::ParseStop> stop_;
  std::vector<OpenContainer> open_at_stop_;
  bool last_was_child_value_ = false;  // the last token completed a member or an element
};

}  // namespace devhost
