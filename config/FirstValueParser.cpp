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

// The bytes after a token: a separator, then the start of the next token.
struct ParseStopGap {
  std::optional<std::size_t> separator;
  std::optional<std::size_t> next;
};

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

  // Starts looking for the next token from here: after whitespace and one ':' or ','.
  void MarkTokenEnd() {
    gap_ = ParseStopGap{};
    scanned_ = Offset();
  }
  // What lies between the mark and the bytes handed out so far. Each byte is looked at once,
  // and the look ends at the next token, so a long string costs nothing.
  const ParseStopGap& Gap() {
    ScanGap(Offset());
    return gap_;
  }

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
    // The gap's bytes leave the block now; every one of them was handed out.
    ScanGap(Offset());
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

  void ScanGap(std::size_t upto) {
    // Bytes from taken_ - kPutBack on are still in the block (the first block has none before).
    const char* const base = eback() + kPutBack;
    for (; !gap_.next && scanned_ < upto; ++scanned_) {
      const char c =
          base[static_cast<std::ptrdiff_t>(scanned_) - static_cast<std::ptrdiff_t>(taken_)];
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        continue;
      }
      if ((c == ':' || c == ',') && !gap_.separator) {
        gap_.separator = scanned_;
      } else {
        gap_.next = scanned_;
      }
    }
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
  ParseStopGap gap_;
  std::size_t scanned_ = 0;  // the gap's bytes before this one have been looked at
};

// Follows the parse through the library's callback and tells the observer where each token
// stands: it ends where the parser stands when the event comes, and starts at the first byte
// after the previous one's end that is neither whitespace nor the one separator between them.
class Follower {
 public:
  Follower(NestingLimitBuffer& buffer, std::size_t origin, ParseObserver& observer)
      : buffer_(buffer), origin_(origin), observer_(observer) {}

  std::size_t Offset() const { return buffer_.Offset() - origin_; }

  bool operator()(int depth, Event event, json& parsed) {
    const std::size_t end = Offset();
    std::size_t begin = end;
    if (event == Event::value && (parsed.is_object() || parsed.is_array()) && !closed_.empty()) {
      begin = closed_.back();  // from its opening bracket
      closed_.pop_back();
    } else if (const std::optional<std::size_t> next = buffer_.Gap().next) {
      begin = *next - origin_;
    }
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        open_.push_back(begin);
        break;
      case Event::object_end:
      case Event::array_end:
        closed_.push_back(open_.back());
        open_.pop_back();
        break;
      default:
        break;
    }
    observer_.Token(depth, event, parsed, begin, end);
    accepted_ = end;
    buffer_.MarkTokenEnd();
    return true;
  }

  ParseStop StopAt(std::size_t at) {
    const ParseStopGap& gap = buffer_.Gap();
    ParseStop stop;
    stop.at = at;
    stop.accepted = accepted_;
    if (gap.separator) {
      stop.separator = *gap.separator - origin_;
    }
    if (gap.next) {
      stop.next = *gap.next - origin_;
    }
    return stop;
  }

 private:
  NestingLimitBuffer& buffer_;
  std::size_t origin_;
  ParseObserver& observer_;
  std::vector<std::size_t> open_;    // where each open container starts
  std::vector<std::size_t> closed_;  // where a container whose value event comes next started
  std::size_t accepted_ = 0;
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
  buffer.MarkTokenEnd();
  Follower follower(buffer, origin, *observer);
  try {
    Parser(adapter, std::ref(follower)).parse(/*strict=*/false, document);
  } catch (const nlohmann::detail::parse_error& error) {
    observer->Failed(follower.StopAt(error.byte));
    throw;
  } catch (const nlohmann::detail::out_of_range& error) {
    const std::size_t end = follower.Offset();
    const std::size_t length = NumberLength(error);
    observer->Failed(follower.StopAt(end >= length ? end - length + 1 : 1));
    throw;
  } catch (const std::runtime_error&) {
    if (const std::optional<std::size_t> refused = buffer.RefusedAt()) {
      observer->Failed(follower.StopAt(*refused - origin + 1));  // the bracket itself
    }
    throw;
  }
  observer->ValueEnd(follower.Offset());
  return document;
}

}  // namespace quorvane
