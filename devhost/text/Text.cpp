#include "devhost/text/Text.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <type_traits>

#include <utf8cpp/utf8.h>

namespace devhost {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';

bool IsLeadSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// The library converts well-formed runs; between them each offending byte becomes one U+FFFD,
// so a damaged sequence shows as many replacements as it had bytes.
template <typename Convert, typename Out>
void EachWellFormedRun(std::string_view text, Out out, Convert convert) {
  auto begin = text.begin();
  while (begin != text.end()) {
    const auto bad = utf8::find_invalid(begin, text.end());
    out = convert(begin, bad, out);
    if (bad == text.end()) {
      return;
    }
    *out++ = kReplacement;
    begin = bad + 1;
  }
}

// The first surrogate that is not part of a pair.
std::u16string_view::const_iterator FindLoneSurrogate(std::u16string_view::const_iterator it,
                                                      std::u16string_view::const_iterator end) {
  while (it != end) {
    if (IsLeadSurrogate(*it) && it + 1 != end && IsSurrogate(it[1]) && !IsLeadSurrogate(it[1])) {
      it += 2;
    } else if (IsSurrogate(*it)) {
      return it;
    } else {
      ++it;
    }
  }
  return end;
}

template <typename Char>
std::basic_string<Char> Folded(std::basic_string_view<Char> text) {
  std::basic_string<Char> folded(text);
  for (Char& c : folded) {
    c = AsciiFoldedUnit(c);
  }
  return folded;
}

// `text` as a `Result`: its leading ASCII run unit for unit, as most text is ASCII throughout,
// then the rest, if any, appended by `convert_rest(rest, result)`.
template <typename Result, typename Char, typename ConvertRest>
Result Converted(std::basic_string_view<Char> text, ConvertRest convert_rest) {
  const auto ascii = std::find_if(text.begin(), text.end(), [](Char c) {
    return static_cast<std::make_unsigned_t<Char>>(c) > 0x7F;
  });
  Result result(text.begin(), ascii);
  if (ascii != text.end()) {
    result.reserve(text.size());
    convert_rest(text.substr(static_cast<std::size_t>(ascii - text.begin())), result);
  }
  return result;
}

}  // namespace

std::pair<char32_t, std::size_t> CodePointAt(std::string_view text, std::size_t at) {
  auto next = text.begin() + static_cast<std::ptrdiff_t>(at);
  try {
    const auto c = static_cast<char32_t>(utf8::next(next, text.end()));
    return {c, static_cast<std::size_t>(next - text.begin()) - at};
  } catch (const utf8::exception&) {
    return {0, 0};
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  return Converted<std::u16string>(text, [](std::string_view rest, std::u16string& units) {
    EachWellFormedRun(rest, std::back_inserter(units), [](auto begin, auto end, auto out) {
      return utf8::unchecked::utf8to16(begin, end, out);
    });
  });
}

std::string Utf16ToUtf8(std::u16string_view units) {
  return Converted<std::string>(units, [](std::u16string_view rest, std::string& text) {
    auto out = std::back_inserter(text);
    auto begin = rest.begin();
    while (begin != rest.end()) {
      const auto lone = FindLoneSurrogate(begin, rest.end());
      out = utf8::unchecked::utf16to8(begin, lone, out);
      if (lone == rest.end()) {
        break;
      }
      out = utf8::unchecked::append(kReplacement, out);
      begin = lone + 1;
    }
  });
}

std::wstring Utf8ToWide(std::string_view text) {
#if WCHAR_MAX <= 0xFFFF
  const std::u16string units = Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
#else
  return Converted<std::wstring>(text, [](std::string_view rest, std::wstring& wide) {
    EachWellFormedRun(rest, std::back_inserter(wide), [](auto begin, auto end, auto out) {
      return utf8::unchecked::utf8to32(begin, end, out);
    });
  });
#endif
}

std::u16string_view FirstWord(std::u16string_view line) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  std::size_t begin = 0;
  while (begin < line.size() && blank(line[begin])) {
    ++begin;
  }
  std::size_t end = begin;
  while (end < line.size() && !blank(line[end])) {
    ++end;
  }
  return line.substr(begin, end - begin);
}

std::string AsciiFolded(std::string_view text) {
  return Folded(text);
}

std::u16string AsciiFolded(std::u16string_view text) {
  return Folded(text);
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
           return AsciiFoldedUnit(x) == AsciiFoldedUnit(y);
         });
}

FoldedName::FoldedName(std::u16string_view text) : name(text), hash(0) {
  // FNV-1a over the folded units.
  std::uint64_t value = 14695981039346656037ull;
  for (const char16_t unit : text) {
    value = (value ^ AsciiFoldedUnit(unit)) * 1099511628211ull;
  }
  hash = static_cast<std::size_t>(value);
}

}  // namespace devhost
