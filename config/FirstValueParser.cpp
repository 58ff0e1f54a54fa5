#include "config/FirstValueParser.h"

#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

namespace {

using json = nlohmann::json;
// The parser the library's operator>> runs; the check adds a callback, which operator>> lacks.
using Parser = nlohmann::detail::parser<json>;
using Event = Parser::parse_event_t;

// Hands the parser the bytes of `source` and refuses the byte that would open a container past
// kMaxConfigDepth before the parser reads it, so the parser never recurses that deep. Brackets
// are counted outside strings only; over the text the parser has taken without an error, that
// count is the parser's own depth. Each block is scanned once, in a tight loop, where a parser
// callback would cost an allocation for every key.
class NestingLimitBuffer final : public std::streambuf {
 public:
  explicit NestingLimitBuffer(std::streambuf& source) : source_(source) {
    // Before the first block, the put-back area is all there is.
    std::memset(block_.data(), 0, kPutBack);
    char* const begin = block_.data() + kPutBack;
    setg(block_.data(), begin, begin);
  }

  // Bytes handed out so far, less any handed back.
  std::size_t Offset() const {
    return taken_ + static_cast<std::size_t>(gptr() - eback()) - kPutBack;
  }
  // Where the refused byte stands, once the parser has come to it.
  std::optional<std::size_t> RefusedAt() const { return refused_at_; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) {
      return traits_type::to_int_type(*gptr());
    }
    if (refused_) {
      refused_at_ = Offset();
      throw std::runtime_error("config.json nests deeper than " + std::to_string(kMaxConfigDepth) +
                               " levels");
    }
    // Keep the last bytes in front of the next block: the parser hands back a byte it read
    // past a number, and the extraction the bytes of a broken byte-order mark.
    const std::size_t handed = static_cast<std::size_t>(egptr() - eback()) - kPutBack;
    std::memmove(block_.data(), egptr() - kPutBack, kPutBack);
    taken_ += handed;
    char* const begin = block_.data() + kPutBack;
    const std::streamsize got =
        source_.sgetn(begin, static_cast<std::streamsize>(block_.size() - kPutBack));
    if (got <= 0) {
      setg(block_.data(), begin, begin);
      return traits_type::eof();
    }
    const std::size_t allowed = Scan(begin, static_cast<std::size_t>(got));
    setg(block_.data(), begin, begin + allowed);
    return allowed > 0 ? traits_type::to_int_type(*begin) : underflow();
  }

 private:
  // The bytes of `text` the parser may have; fewer than `size` when one opens a container too
  // many. Only quotes, backslashes and brackets can change the count, and they are a small
  // part of a configuration: where the processor has SSE2, sixteen bytes at a time are searched
  // for them.
  std::size_t Scan(const char* text, std::size_t size) {
    skip_ = escape_pending_ ? 0 : kNowhere;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    const __m128i case_bit = _mm_set1_epi8(0x20);  // '[' | 0x20 is '{', ']' | 0x20 is '}'
    for (; i + 16 <= size; i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
      const __m128i folded = _mm_or_si128(bytes, case_bit);
      const __m128i found =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)),
                       _mm_or_si128(_mm_cmpeq_epi8(folded, open), _mm_cmpeq_epi8(folded, close)));
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(found)); mask != 0;
           mask &= mask - 1) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
        if (!Step(text[at], at)) {
          return at;
        }
      }
    }
#endif
    for (; i < size; ++i) {
      if (!Step(text[i], i)) {
        return i;
      }
    }
    escape_pending_ = skip_ == size;
    return size;
  }

  // One byte of the block at `at`: false when it opens a container too many.
  bool Step(char c, std::size_t at) {
    if (at == skip_) {
      return true;  // escaped by the backslash before it
    }
    if (in_string_) {
      if (c == '\\') {
        skip_ = at + 1;
      } else if (c == '"') {
        in_string_ = false;
      }
    } else if (c == '"') {
      in_string_ = true;
    } else if (c == '[' || c == '{') {
      if (depth_ == kMaxConfigDepth) {
        refused_ = true;
        return false;
      }
      ++depth_;
    } else if ((c == ']' || c == '}') && depth_ > 0) {
      --depth_;
    }
    return true;
  }

  static constexpr std::size_t kPutBack = 4;
  std::streambuf& source_;
  std::array<char, kPutBack + 16384> block_;  // the put-back area, then a block of `source`
  std::size_t taken_ = 0;                     // bytes of earlier blocks handed out
  std::size_t depth_ = 0;
  bool in_string_ = false;
  // Inside a string, a backslash escapes the byte after it, which may be in the next block.
  static constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);
  std::size_t skip_ = kNowhere;
  bool escape_pending_ = false;
  bool refused_ = false;
  std::optional<std::size_t> refused_at_;
};

// Follows the parse through the library's callback and tells the observer where a key repeats.
class Follower {
 public:
  Follower(const NestingLimitBuffer& buffer, std::size_t origin, ParseObserver& observer)
      : buffer_(buffer), origin_(origin), observer_(observer) {}

  std::size_t Offset() const { return buffer_.Offset() - origin_; }

  bool operator()(int depth, Event event, json& parsed) {
    switch (event) {
      case Event::object_start:
      case Event::array_start:
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

  const NestingLimitBuffer& buffer_;
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
  const std::string_view opening = "parsing '";
  const std::size_t open = what.find(opening);
  const std::size_t close = what.rfind('\'');
  if (open == std::string_view::npos || close == std::string_view::npos ||
      close < open + opening.size()) {
    return 1;
  }
  return close - (open + opening.size());
}

}  // namespace

nlohmann::json ParseFirstValue(std::istream& in, ParseObserver* observer) {
  NestingLimitBuffer buffer(*in.rdbuf());
  std::istream limited(&buffer);
  json document;
  if (observer == nullptr) {
    limited >> document;  // the library's own extraction, byte-order mark and all
    return document;
  }
  // Made first: it drops the byte-order mark, before the observer's offsets begin.
  nlohmann::detail::input_adapter adapter(limited);
  const std::size_t origin = buffer.Offset();
  Follower follower(buffer, origin, *observer);
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
  } catch (const std::runtime_error&) {
    if (const std::optional<std::size_t> refused = buffer.RefusedAt()) {
      observer->Failed(*refused - origin + 1);  // the bracket itself
    }
    throw;
  }
  observer->ValueEnd(follower.Offset());
  return document;
}

}  // namespace quorvane
