#include "devhost/lib/Text.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

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
Char FoldedUnit(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
std::basic_string<Char> Folded(std::basic_string_view<Char> text) {
  std::basic_string<Char> folded(text);
  for (Char& c : folded) {
    c = FoldedUnit(c);
  }
  return folded;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  EachWellFormedRun(text, std::back_inserter(units), [](auto begin, auto end, auto out) {
    return utf8::unchecked::utf8to16(begin, end, out);
  });
  return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::string text;
  text.reserve(units.size());
  auto out = std::back_inserter(text);
  auto begin = units.begin();
  while (begin != units.end()) {
    const auto lone = FindLoneSurrogate(begin, units.end());
    out = utf8::unchecked::utf16to8(begin, lone, out);
    if (lone == units.end()) {
      break;
    }
    out = utf8::unchecked::append(kReplacement, out);
    begin = lone + 1;
  }
  return text;
}

std::wstring Utf8ToWide(std::string_view text) {
#if WCHAR_MAX <= 0xFFFF
  const std::u16string units = Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
#else
  std::wstring wide;
  wide.reserve(text.size());
  EachWellFormedRun(text, std::back_inserter(wide), [](auto begin, auto end, auto out) {
    return utf8::unchecked::utf8to32(begin, end, out);
  });
  return wide;
#endif
}

std::string AsciiFolded(std::string_view text) {
  return Folded(text);
}

std::u16string AsciiFolded(std::u16string_view text) {
  return Folded(text);
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldedUnit(x) == FoldedUnit(y); });
}

}  // namespace devhost
