#pragma once
// The host's text rules: conversions where text crosses between the game's UTF-16 and the
// program's UTF-8 (each ill-formed byte or lone surrogate becomes one U+FFFD, never a crash), and
// how typed lines are matched against command names. They need no host, so the check uses the
// very same rules.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace devhost {

std::u16string Utf8ToUtf16(std::string_view text);
// The code point of `text` that starts at byte `at`, and its length in bytes; a length of 0
// where the bytes there are not well-formed UTF-8.
std::pair<char32_t, std::size_t> CodePointAt(std::string_view text, std::size_t at);
std::string Utf16ToUtf8(std::u16string_view units);
// UTF-8 to the platform's wide text: UTF-32 where wchar_t is 32 bits, UTF-16 where it is 16.
std::wstring Utf8ToWide(std::string_view text);

// The word of a typed line that the host matches against command names: what follows any
// leading blanks and tabs, up to the next blank or tab.
std::u16string_view FirstWord(std::u16string_view line);

// ASCII letters in lower case, every other unit as it is: how the host matches command names
// regardless of case.
template <typename Char>
constexpr Char AsciiFoldedUnit(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}
std::string AsciiFolded(std::string_view text);
std::u16string AsciiFolded(std::u16string_view text);
// Equal once both are AsciiFolded.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// A name as a key of hashed containers, matched as AsciiFolded would fold it, without a folded
// copy. Its hash is worked out once, as the containers do not keep it for a cheap hash.
struct FoldedName {
  explicit FoldedName(std::u16string_view text);
  bool operator==(const FoldedName& other) const {
    return hash == other.hash && EqualsIgnoringAsciiCase(name, other.name);
  }
  std::u16string_view name;
  std::size_t hash;
};
struct FoldedNameHash {
  std::size_t operator()(const FoldedName& key) const { return key.hash; }
};

}  // namespace devhost
