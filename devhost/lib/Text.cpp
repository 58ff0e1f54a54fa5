#include "devhost/lib/Text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace devhost {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';

// Length of a well-formed sequence starting at `i`, or 0 (then one byte is replaced).
std::size_t SequenceAt(std::string_view text, std::size_t i, char32_t& code) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      return 0;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0;
  }
  code = value;
  return length;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const std::size_t length = SequenceAt(text, i, code);
    if (length == 0) {
      result.push_back(kReplacement);
      ++i;
    } else {
      result.push_back(code);
      i += length;
    }
  }
  return result;
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    c = kReplacement;
  }
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string EncodeUtf8(std::u32string_view code_points) {
  std::string out;
  out.reserve(code_points.size());
  for (const char32_t c : code_points) {
    AppendUtf8(out, c);
  }
  return out;
}

// The conversions below run for every message a command sends: they convert in one pass,
// without a UTF-32 copy in between.
std::u16string Utf8ToUtf16(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) {
    ++i;  // commands and replies are mostly ASCII, which converts unit for byte
  }
  std::u16string units(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
  units.reserve(text.size());
  while (i < text.size()) {
    char32_t c = 0;
    const std::size_t length = SequenceAt(text, i, c);
    if (length == 0) {
      c = kReplacement;
      ++i;
    } else {
      i += length;
    }
    if (c < 0x10000) {
      units.push_back(static_cast<char16_t>(c));
    } else {
      const char32_t v = c - 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
  return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::size_t i = 0;
  while (i < units.size() && units[i] < 0x80) {
    ++i;
  }
  std::string out(i, '\0');
  std::transform(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(i), out.begin(),
                 [](char16_t unit) { return static_cast<char>(unit); });
  out.reserve(units.size());
  for (; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                          (static_cast<char32_t>(units[i + 1]) - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, u);  // a lone surrogate becomes U+FFFD
    }
  }
  return out;
}

std::wstring Utf8ToWide(std::string_view text) {
#if WCHAR_MAX <= 0xFFFF
  const std::u16string units = Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
#else
  std::wstring wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = SequenceAt(text, i, c);
    wide.push_back(static_cast<wchar_t>(length == 0 ? kReplacement : c));
    i += length == 0 ? 1 : length;
  }
  return wide;
#endif
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  const auto fold = [](char16_t c) -> char16_t {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace devhost
