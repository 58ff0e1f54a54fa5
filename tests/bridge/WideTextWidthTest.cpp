// Wide text on both widths of wchar_t: the host's Utf8Decode gives the platform's wide text
// (UTF-16 units where wchar_t has 16 bits, as on Windows), and the game always receives the
// same UTF-16 units.

#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "bridge/GameString.h"
#include "bridge/HostApi.h"
#include "tests/support/TestSupport.h"

namespace {

using WideTextWidthTest = test_support::HostTest;

std::u16string Units(const FString& string) {
  return std::u16string(string.Data, static_cast<std::size_t>(string.Count));
}

TEST_F(WideTextWidthTest, Utf8DecodeGivesThePlatformsWideTextAndTheGameTheSameUnits) {
  // é (2 bytes), € (3 bytes), 😀 (4 bytes, above U+FFFF).
  const std::wstring wide = ArkApi::Tools::Utf8Decode("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
#if WCHAR_MAX <= 0xFFFF
  EXPECT_EQ(wide, (std::wstring{0xE9, 0x20AC, 0xD83D, 0xDE00}));
#else
  EXPECT_EQ(wide, (std::wstring{0xE9, 0x20AC, 0x1F600}));
#endif
  const GameString string = GameString::FromWide(wide.c_str());
  EXPECT_EQ(string.Count, 5);
  EXPECT_EQ(string.Capacity, 22);
  EXPECT_EQ(Units(string), (std::u16string{0xE9, 0x20AC, 0xD83D, 0xDE00, 0}));
}

TEST_F(WideTextWidthTest, FromWideCopiesSixteenBitUnitsUnchanged) {
  // Units that no conversion may touch: lone surrogates of either half, the highest unit, and a
  // pair in order.
  const wchar_t text[] = {0xDC00, L'a', 0xD800, 0xFFFF, 0xD83D, 0xDE00, 0x7F, 0};
  const GameString string = GameString::FromWide(text);
  EXPECT_EQ(Units(string), (std::u16string{0xDC00, u'a', 0xD800, 0xFFFF, 0xD83D, 0xDE00, 0x7F, 0}));
}

}  // namespace
