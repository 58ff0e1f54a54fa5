#include "devhost/locate/LineLocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <queue>

#include "config/ByteOrderMark.h"
#include "devhost/os/SystemCalls.h"

namespace devhost {

namespace {

// Bytes of the line kept on each side of a place for its excerpt.
constexpr std::size_t kExcerptReach = 60;

// Walks the stored bytes once, keeping the parser's offset beside the stored one, and places
// each requested point as the walk passes it: starts in offset order, and each end once its
// start is placed, from a heap of the ends still open (few at a time: spans are short).
class Walk {
 public:
  using Request = LineLocator::Request;
  using TextAfter = LineLocator::TextAfter;

  // `requests` in the order of their starts.
  Walk(bool joins_crlf, const std::vector<Request>& requests, std::optional<TextAfter> text_after)
      : joins_crlf_(joins_crlf), requests_(requests), text_after_(text_after) {}

  // `next` is the byte after `c`, or -1 at the end of the file.
  void Byte(char c, int next) {
    if (stored_ < bom_) {
      ++stored_;  // the byte-order mark is neither read by the parser nor a column
      return;
    }
    // A CR LF pair the parser saw as one LF.
    const bool dropped = joins_crlf_ && c == '\r' && next == '\n';
    if (!dropped) {
      Reach(parser_);
    }
    const bool line_break = c == '\n' || c == '\r';
    if (text_after_ && !text_after_started_ && parser_ >= text_after_->from && !line_break &&
        c != ' ' && c != '\t') {
      text_after_started_ = true;
      SourcePlace& place = *text_after_->into;
      place.start = SourcePoint{stored_, line_, column_};
      place.excerpt = std::make_shared<SourceExcerpt>();
      collectors_.push_back({place.excerpt.get(), &place.end, text_after_->reach});
    }
    if (line_break) {
      if (!(c == '\n' && previous_cr_)) {
        EndLine();
        ++line_;
        column_ = 1;
      }
    } else {
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        ++column_;
      }
      Keep(c);
    }
    previous_cr_ = c == '\r';
    if (!dropped) {
      ++parser_;
    }
    ++stored_;
  }

  void Start(std::string_view head) {
    bom_ = head.size() - quorvane::WithoutByteOrderMark(head).size();
    keeps_window_ = std::any_of(requests_.begin(), requests_.end(),
                                [](const Request& request) { return request.excerpt; });
  }

  // Walks over the bytes at the start of `bytes` in which nothing is placed or collected, in
  // bulk: a compact file is one long line, and the text after the value may be gigabytes of
  // blanks. Returns how many it took; 0 when the next byte needs a look of its own.
  std::size_t Skip(std::string_view bytes) {
    if (stored_ < bom_ || !collectors_.empty() || !awaiting_line_end_.empty()) {
      return 0;
    }
    std::size_t limit = bytes.size();
    if (const std::optional<std::size_t> point = NextPoint()) {
      if (*point <= parser_) {
        return 0;
      }
      limit = std::min(limit, *point - parser_);
    }
    const bool seeking_text = text_after_ && !text_after_started_;
    bool blanks = false;  // blanks, tabs and line breaks only
    if (seeking_text && parser_ < text_after_->from) {
      limit = std::min(limit, text_after_->from - parser_);
    } else if (seeking_text) {
      limit = BlanksAtStart(bytes.substr(0, limit));
      blanks = true;
    }
    // A CR at the end would need the byte after it to tell whether the parser saw it.
    while (limit > 0 && bytes[limit - 1] == '\r') {
      --limit;
    }
    if (limit == 0) {
      return 0;
    }
    Bulk(bytes.substr(0, limit), blanks);
    return limit;
  }

  // Nothing asked for lies further on.
  bool Done() const {
    return !NextPoint() && collectors_.empty() && awaiting_line_end_.empty() &&
           (!text_after_ || text_after_started_);
  }

  // At the end of the file: whatever lies beyond it stands there.
  void Finish() {
    Reach(std::numeric_limits<std::size_t>::max());
    EndLine();
  }

 private:
  struct Closing {
    std::size_t parser;
    SourcePoint* into;
    bool operator>(const Closing& other) const { return parser > other.parser; }
  };
  // An excerpt still taking bytes; `end`, when set, follows its last byte.
  struct Collector {
    SourceExcerpt* excerpt;
    SourcePoint* end;
    std::size_t left;
  };

  static const char* Find(std::string_view bytes, std::size_t from, char c) {
    return from >= bytes.size()
               ? nullptr
               : static_cast<const char*>(std::memchr(bytes.data() + from, c, bytes.size() - from));
  }

  // How many bytes at the start of `bytes` are blanks, tabs or line breaks; runs of blanks eight
  // at a time.
  static std::size_t BlanksAtStart(std::string_view bytes) {
    std::size_t at = 0;
    constexpr std::uint64_t kBlanks = 0x2020202020202020;
    while (at < bytes.size()) {
      if (at + 8 <= bytes.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        if (word == kBlanks) {
          at += 8;
          continue;
        }
      }
      const char c = bytes[at];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
        break;
      }
      ++at;
    }
    return at;
  }

  // Bytes in which nothing is placed, none of them a CR at the end: lines and columns counted
  // without a look at each point.
  // `ascii` says every byte is one: a column each.
  void Bulk(std::string_view bytes, bool ascii) {
    std::size_t breaks = 0;
    std::size_t pairs = 0;  // CR LF
    std::size_t line_start = std::string_view::npos;
    // Line feeds and carriage returns each found with memchr, which searches many bytes at once.
    for (const char* at = Find(bytes, 0, '\n'); at != nullptr;
         at = Find(bytes, static_cast<std::size_t>(at - bytes.data()) + 1, '\n')) {
      const std::size_t offset = static_cast<std::size_t>(at - bytes.data());
      const bool after_cr = offset > 0 ? bytes[offset - 1] == '\r' : previous_cr_;
      (after_cr ? pairs : breaks) += 1;  // after a CR the line ended at the CR
      line_start = offset + 1;
    }
    for (const char* at = Find(bytes, 0, '\r'); at != nullptr;
         at = Find(bytes, static_cast<std::size_t>(at - bytes.data()) + 1, '\r')) {
      const std::size_t offset = static_cast<std::size_t>(at - bytes.data());
      ++breaks;
      if (line_start == std::string_view::npos || offset + 1 > line_start) {
        line_start = offset + 1;
      }
    }
    const std::string_view tail =
        line_start == std::string_view::npos ? bytes : bytes.substr(line_start);
    std::size_t columns = ascii ? tail.size() : 0;
    if (!ascii) {
      for (const char c : tail) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
      }
    }
    if (breaks > 0 || line_start != std::string_view::npos) {
      line_ += breaks;
      column_ = 1 + columns;
      window_.clear();
      window_cut_ = false;
    } else {
      column_ += columns;
    }
    if (keeps_window_) {
      if (tail.size() >= kExcerptReach) {
        window_.assign(tail.substr(tail.size() - kExcerptReach));
        window_cut_ = true;
      } else {
        for (const char c : tail) {
          Keep(c);
        }
      }
    }
    previous_cr_ = false;
    stored_ += bytes.size();
    parser_ += bytes.size() - (joins_crlf_ ? pairs : 0);
  }

  // The parser offset of the next start or end to place.
  std::optional<std::size_t> NextPoint() const {
    std::optional<std::size_t> next;
    if (next_ < requests_.size()) {
      next = requests_[next_].span.begin;
    }
    if (!ends_.empty() && (!next || ends_.top().parser < *next)) {
      next = ends_.top().parser;
    }
    return next;
  }

  // Places every start and end at or before `parser`, each start before its end.
  void Reach(std::size_t parser) {
    for (;;) {
      const bool start = next_ < requests_.size() && requests_[next_].span.begin <= parser &&
                         (ends_.empty() || requests_[next_].span.begin <= ends_.top().parser);
      if (start) {
        PlaceStart(requests_[next_++]);
      } else if (!ends_.empty() && ends_.top().parser <= parser) {
        *ends_.top().into = Here();
        ends_.pop();
      } else {
        return;
      }
    }
  }

  SourcePoint Here() const { return SourcePoint{stored_, line_, column_}; }

  void PlaceStart(const Request& request) {
    *request.start = Here();
    if (request.end != nullptr) {
      if (request.to_line_end) {
        awaiting_line_end_.push_back(request.end);
      } else {
        ends_.push({std::max(request.span.begin, request.span.end), request.end});
      }
    }
    if (request.excerpt != nullptr) {
      *request.excerpt = std::make_shared<SourceExcerpt>();
      SourceExcerpt& excerpt = **request.excerpt;
      const std::size_t before = std::min(kExcerptReach, window_.size());
      excerpt.text = window_.substr(window_.size() - before);
      excerpt.cut_before = window_cut_ || before < window_.size();
      excerpt.mark_begin = excerpt.text.size();
      collectors_.push_back({&excerpt, nullptr, kExcerptReach});
    }
  }

  // A byte of the current line, for excerpts.
  void Keep(char c) {
    window_ += c;
    if (window_.size() > 2 * kExcerptReach) {
      window_.erase(0, window_.size() - kExcerptReach);
      window_cut_ = true;
    }
    for (std::size_t i = 0; i < collectors_.size();) {
      Collector& collector = collectors_[i];
      collector.excerpt->text += c;
      if (collector.end != nullptr) {
        *collector.end = SourcePoint{stored_ + 1, line_, column_};
      }
      if (--collector.left == 0) {
        collector.excerpt->cut_after = true;
        collectors_[i] = collectors_.back();
        collectors_.pop_back();
      } else {
        ++i;
      }
    }
  }

  void EndLine() {
    collectors_.clear();
    window_.clear();
    window_cut_ = false;
    for (SourcePoint* end : awaiting_line_end_) {
      *end = Here();
    }
    awaiting_line_end_.clear();
  }

  bool joins_crlf_;
  const std::vector<Request>& requests_;
  std::size_t next_ = 0;
  std::priority_queue<Closing, std::vector<Closing>, std::greater<Closing>> ends_;
  std::size_t bom_ = 0;
  std::size_t stored_ = 0;
  std::size_t parser_ = 0;
  std::size_t line_ = 1;
  std::size_t column_ = 1;
  bool previous_cr_ = false;
  bool keeps_window_ = false;  // some place wants the source line before it
  std::string window_;
  bool window_cut_ = false;
  std::vector<Collector> collectors_;
  std::vector<SourcePoint*> awaiting_line_end_;
  std::optional<TextAfter> text_after_;
  bool text_after_started_ = false;
};

}  // namespace

void LineLocator::Add(Span span, SourcePlace& into, bool excerpt, bool to_line_end) {
  requests_.push_back(
      {span, &into.start, &into.end, excerpt ? &into.excerpt : nullptr, to_line_end});
}

void LineLocator::Add(Span span, SourcePoint& start, SourcePoint& end) {
  requests_.push_back({span, &start, &end, nullptr, false});
}

void LineLocator::Add(std::size_t offset, SourcePoint& into) {
  requests_.push_back({{offset, offset}, &into, nullptr, nullptr, false});
}

void LineLocator::AddTextAfter(std::size_t offset, std::size_t reach, SourcePlace& into) {
  // Placed by the walk itself, as it meets the text.
  text_after_ = TextAfter{offset, reach, &into};
}

namespace {

template <typename Feed>
bool Run(bool joins_crlf, std::vector<LineLocator::Request>& requests,
         std::optional<LineLocator::TextAfter> text_after, const Feed& feed) {
  // In the order of the file. Requests that start together all take the same place, each into
  // its own target, so their order among themselves does not matter.
  std::sort(requests.begin(), requests.end(),
            [](const LineLocator::Request& a, const LineLocator::Request& b) {
              return a.span.begin < b.span.begin;
            });
  Walk walk(joins_crlf, requests, text_after);
  if (!feed(walk)) {
    return false;
  }
  walk.Finish();
  for (const LineLocator::Request& request : requests) {
    if (request.excerpt == nullptr || !*request.excerpt) {
      continue;
    }
    SourceExcerpt& excerpt = **request.excerpt;
    const std::size_t length =
        request.end->offset - std::min(request.end->offset, request.start->offset);
    excerpt.mark_end = std::min(excerpt.text.size(), excerpt.mark_begin + length);
  }
  if (text_after && text_after->into->excerpt) {
    SourceExcerpt& excerpt = *text_after->into->excerpt;
    excerpt.mark_end = excerpt.text.size();
  }
  return true;
}

// Feeds `bytes` to the walk, each byte with the one after it; `last` marks the file's end.
// Returns false once the walk needs no more.
bool FeedBytes(Walk& walk, std::string_view bytes, int after) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (walk.Done()) {
      return false;
    }
    if (const std::size_t skipped = walk.Skip(bytes.substr(i)); skipped > 0) {
      i += skipped;
      continue;
    }
    const int next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : after;
    walk.Byte(bytes[i], next);
    ++i;
  }
  return true;
}

}  // namespace

template <typename Feed>
bool LineLocator::Run(bool joins_crlf, const Feed& feed) {
  return devhost::Run(joins_crlf, requests_, text_after_, feed);
}

bool LineLocator::LocateIn(std::string_view content) {
  return Run(false, [&](Walk& walk) {
    walk.Start(content.substr(0, 3));
    FeedBytes(walk, content, -1);
    return true;
  });
}

bool LineLocator::Locate(const std::filesystem::path& path) {
  // Text mode hands the parser one LF for a CR LF pair where the platform's C library does so.
  return Run(kTextModeJoinsCrLf, [&](Walk& walk) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      return false;
    }
    // One byte is held back each time, in front of the next block, so that every byte is fed
    // with the one after it.
    std::vector<char> block(1 + 65536);
    std::size_t held = 0;
    bool started = false;
    while (in.read(block.data() + held, static_cast<std::streamsize>(block.size() - held)) ||
           in.gcount() > 0) {
      const std::string_view bytes(block.data(), held + static_cast<std::size_t>(in.gcount()));
      if (!started) {
        walk.Start(bytes.substr(0, 3));
        started = true;
      }
      if (!FeedBytes(walk, bytes.substr(0, bytes.size() - 1),
                     static_cast<unsigned char>(bytes.back()))) {
        return true;
      }
      block[0] = bytes.back();
      held = 1;
    }
    if (in.bad()) {
      return false;
    }
    if (!started) {
      walk.Start({});
    }
    FeedBytes(walk, std::string_view(block.data(), held), -1);
    return true;
  });
}

}  // namespace devhost
