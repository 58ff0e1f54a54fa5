#include "config/FirstValueParser.h"

#include <ios>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using json = nlohmann::json;
// The parser the library's operator>> runs; here with a callback, which operator>> lacks.
using Parser = nlohmann::detail::parser<json>;
using Event = Parser::parse_event_t;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Opens(Event event) {
  return event == Event::object_start || event == Event::array_start;
}

[[noreturn]] void TooDeep() {
  throw std::runtime_error("config.json nests deeper than " + std::to_string(kMaxConfigDepth) +
                           " levels");
}

// The callback gets the depth of the container's parent when a container opens.
bool DepthGuard(int depth, Event event, json& /*parsed*/) {
  if (Opens(event) && static_cast<std::size_t>(depth) >= kMaxConfigDepth) {
    TooDeep();
  }
  return true;
}

std::size_t StreamOffset(std::istream& in) {
  const auto at = in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
  if (at == std::streampos(std::streamoff(-1))) {
    throw std::logic_error("a parse observer needs a stream that tells its position");
  }
  return static_cast<std::size_t>(static_cast<std::streamoff>(at));
}

// Follows the parse through the library's callback and tells the observer where a key repeats.
class Follower {
 public:
  Follower(std::istream& in, std::size_t origin, ParseObserver& observer)
      : in_(in), origin_(origin), observer_(observer) {}

  std::size_t Offset() const { return StreamOffset(in_) - origin_; }

  bool operator()(int depth, Event event, json& parsed) {
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        if (static_cast<std::size_t>(depth) >= kMaxConfigDepth) {
          observer_.Failed(Offset());
          TooDeep();
        }
        Open(parsed, event == Event::array_start);
        break;
      case Event::key:
        Key(parsed.get_ref<const std::string&>());
        break;
      case Event::object_end:
      case Event::array_end:
        frames_.pop_back();
        break;
      case Event::value:
        // A value that completes a member or element of the innermost open container.
        if (!frames_.empty() && static_cast<std::size_t>(depth) == frames_.size()) {
          Frame& frame = frames_.back();
          if (frame.repeated) {
            frame.repeated = false;
            observer_.RepeatedKey(repeat_offset_, repeat_key_, parsed, repeat_entry_);
          }
          ++frame.completed;
        }
        break;
    }
    return true;
  }

 private:
  struct Frame {
    // The container being built; it stays in place until it is complete.
    const json* container = nullptr;
    bool commands = false;  // the top-level object's (first) "ChatCommands" array
    bool repeated = false;  // the member being read has a key given before
    std::string key;        // top-level object only: the key of the member being read
    std::size_t completed = 0;
  };

  void Open(const json& container, bool array) {
    bool commands = false;
    if (frames_.size() == 1 && array) {
      const Frame& top = frames_.front();
      commands = top.container->is_object() && !top.repeated && top.key == "ChatCommands";
    }
    Frame frame;
    frame.container = &container;
    frame.commands = commands;
    frames_.push_back(std::move(frame));
  }

  void Key(const std::string& key) {
    Frame& frame = frames_.back();
    // Members are added when complete, so an earlier one of the same key is there already.
    frame.repeated = frame.container->find(key) != frame.container->end();
    if (frames_.size() == 1) {
      frame.key = key;
    }
    if (frame.repeated) {
      repeat_offset_ = Offset();
      repeat_key_ = key;
      repeat_entry_ = EntryPosition();
    }
  }

  // The position in "ChatCommands" of the entry being read, while the parse is inside one.
  std::optional<std::size_t> EntryPosition() const {
    if (frames_.size() < 3 || !frames_[1].commands) {
      return std::nullopt;
    }
    return frames_[1].completed;
  }

  std::istream& in_;
  std::size_t origin_;
  ParseObserver& observer_;
  std::vector<Frame> frames_;
  std::size_t repeat_offset_ = 0;
  std::string repeat_key_;
  std::optional<std::size_t> repeat_entry_;
};

// Where the number of an out_of_range 406 begins: its text is quoted in the message.
std::size_t NumberLength(const std::exception& error) {
  const std::string_view what = error.what();
  const std::size_t open = what.find("parsing '");
  const std::size_t close = what.rfind('\'');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open + 9) {
    return 1;
  }
  return close - (open + 9);
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

nlohmann::json ParseFirstValue(std::istream& in, ParseObserver* observer) {
  // Made first: it drops the byte-order mark, before the observer's offsets begin.
  nlohmann::detail::input_adapter adapter(in);
  json document;
  if (observer == nullptr) {
    Parser(adapter, DepthGuard).parse(/*strict=*/false, document);
    return document;
  }
  const std::size_t origin = StreamOffset(in);
  Follower follower(in, origin, *observer);
  try {
    Parser(adapter, std::ref(follower)).parse(/*strict=*/false, document);
  } catch (const nlohmann::detail::parse_error& error) {
    observer->Failed(error.byte);
    throw;
  } catch (const nlohmann::detail::out_of_range& error) {
    const std::size_t end = follower.Offset();
    const std::size_t length = NumberLength(error);
    observer->Failed(end >= length ? end - length + 1 : 1);
    throw;
  }
  observer->ValueEnd(follower.Offset());
  return document;
}
