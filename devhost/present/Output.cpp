#include "devhost/present/Output.h"

#include <cerrno>
#include <mutex>
#include <system_error>
#include <unordered_map>

#include <fmt/color.h>
#include <fmt/format.h>

#include "devhost/present/Printable.h"

namespace devhost {
namespace {

// The first failure of each stream, with the system's reason, which the stream does not keep.
class Failures {
 public:
  void Remember(std::FILE* out, int code) {
    std::lock_guard<std::mutex> lock(mutex_);
    first_.emplace(out, code);
  }
  int Of(std::FILE* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = first_.find(out);
    return found == first_.end() ? 0 : found->second;
  }
  void Forget(std::FILE* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    first_.erase(out);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::FILE*, int> first_;
};

Failures& failures() {
  static Failures instance;
  return instance;
}

fmt::text_style StyleOf(const TextStyle& style) {
  fmt::text_style out;
  if (style.colour) {
    out |= fmt::fg(fmt::rgb(style.colour->r, style.colour->g, style.colour->b));
  }
  if (style.bold) {
    out |= fmt::emphasis::bold;
  }
  if (style.faint) {
    out |= fmt::emphasis::faint;
  }
  return out;
}

bool Styled(const TextStyle& style) {
  return style.colour || style.bold || style.faint;
}

}  // namespace

void PutText(std::FILE* out, std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
    failures().Remember(out, errno);
  }
}

void Flush(std::FILE* out) {
  errno = 0;
  if (std::fflush(out) != 0) {
    failures().Remember(out, errno);
  }
}

void PutLine(std::FILE* out, std::initializer_list<Piece> pieces, bool colour) {
  std::string line;
  for (const Piece& piece : pieces) {
    if (colour && Styled(piece.style)) {
      line += fmt::format(StyleOf(piece.style), "{}", Printable(piece.text));
    } else {
      AppendPrintable(line, piece.text);
    }
  }
  line += '\n';
  PutText(out, line);
}

void PutLine(std::FILE* out, std::string_view text) {
  PutLine(out, {Piece{text}});
}

std::optional<std::string> WriteFailure(std::FILE* out) {
  Flush(out);
  if (std::ferror(out) == 0) {
    return std::nullopt;
  }
  return SystemReason(failures().Of(out), "a write failed");
}

std::string SystemReason(int code, const char* otherwise) {
  return code != 0 ? std::error_code(code, std::generic_category()).message()
                   : std::string(otherwise);
}

void ForgetStream(std::FILE* out) {
  failures().Forget(out);
}

}  // namespace devhost
