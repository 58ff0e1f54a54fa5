#include "bridge/GameString.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/core.h>
#include <gtest/gtest.h>

#include "tests/support/Recordings.h"
#include "tests/support/TestSupport.h"

namespace {

using test_support::HostTest;
using test_support::TraceScope;
using Lines = std::vector<std::string>;

// Every unit in use, the terminator included.
std::u16string Units(const FString& string) {
  return string.Data == nullptr
             ? std::u16string()
             : std::u16string(string.Data, static_cast<std::size_t>(string.Count));
}

using GameStringTest = HostTest;

TEST_F(GameStringTest, EmptyAndNullTextsTouchNeitherHostNorAllocator) {
  TraceScope trace;
  {
    const GameString strings[] = {GameString(),
                                  GameString::FromNarrow(nullptr),
                                  GameString::FromNarrow(""),
                                  GameString::FromWide(nullptr),
                                  GameString::FromWide(L""),
                                  GameString::Formatted(""),
                                  GameString::Formatted(L""),
                                  GameString(GameString())};
    for (const FString& string : strings) {
      EXPECT_EQ(string.Data, nullptr);
      EXPECT_EQ(string.Count, 0);
      EXPECT_EQ(string.Capacity, 0);
    }
  }
  EXPECT_EQ(trace.Lines(), Lines{});
}

TEST_F(GameStringTest, TwoLettersTakeOneAllocationOfEightBytesAndOneRelease) {
  TraceScope trace;
  {
    const GameString hi = GameString::FromNarrow("Hi");
    EXPECT_EQ(hi.Count, 3);
    EXPECT_EQ(hi.Capacity, 4);
    EXPECT_EQ(Units(hi), std::u16string(u"Hi", 3));
  }
  EXPECT_EQ(trace.Lines(), (Lines{"lookup FMemory.Realloc", "realloc(null, 8) -> #1",
                                  "lookup FMemory.Free", "free(#1)"}));
}

TEST_F(GameStringTest, TextGetsSpareRoomByTheGrowthRule) {
  const struct {
    std::string text;
    int count;
    int capacity;
  } cases[] = {{"a", 2, 4},
               {"abc", 4, 4},
               {"abcd", 5, 22},
               {"abcde", 6, 24},
               {"Server", 7, 25},
               {"Reloaded config", 16, 38},
               {"Failed to reload config", 24, 49}};
  for (const auto& c : cases) {
    TraceScope trace;
    const GameString string = GameString::FromNarrow(c.text.c_str());
    EXPECT_EQ(string.Count, c.count) << c.text;
    EXPECT_EQ(string.Capacity, c.capacity) << c.text;
    EXPECT_EQ(trace.Lines(), (Lines{"lookup FMemory.Realloc",
                                    "realloc(null, " + std::to_string(c.capacity * 2) + ") -> #1"}))
        << c.text;
  }
}

TEST_F(GameStringTest, NarrowTextIsOneUnitPerByteWithHighBytesAsQuestionMarks) {
  const GameString cafe = GameString::FromNarrow("caf\xC3\xA9");
  EXPECT_EQ(Units(cafe), std::u16string(u"caf??", 6));
  const GameString edge = GameString::FromNarrow("\x7F\x80\xFF");
  EXPECT_EQ(Units(edge), std::u16string(u"\x7F??", 4));
}

TEST_F(GameStringTest, WideTextKeepsEveryUnitAndSplitsAstralCharactersIntoSurrogates) {
  const GameString wide = GameString::FromWide(L"caf\u00E9\u20AC");
  EXPECT_EQ(Units(wide), std::u16string(u"caf\u00E9\u20AC", 6));
  EXPECT_EQ(wide.Capacity, GameString::FromNarrow("12345").Capacity);

  const GameString astral = GameString::FromWide(L"a\U0001F600");
  EXPECT_EQ(astral.Count, 4);
  EXPECT_EQ(Units(astral), (std::u16string{u'a', 0xD83D, 0xDE00, 0}));
}

TEST_F(GameStringTest, CopyIsExactlySizedAndOwnsItsStorage) {
  const GameString server = GameString::FromWide(L"Server");
  ASSERT_EQ(server.Capacity, 25);
  TraceScope trace;
  const GameString copy(server);
  EXPECT_EQ(copy.Count, 7);
  EXPECT_EQ(copy.Capacity, 7);
  EXPECT_NE(copy.Data, server.Data);
  EXPECT_EQ(Units(copy), Units(server));
  EXPECT_EQ(trace.Lines(), (Lines{"lookup FMemory.Realloc", "realloc(null, 14) -> #1"}));
}

TEST_F(GameStringTest, FormattingTurnsDoubledBracesIntoSingleOnes) {
  EXPECT_EQ(Units(GameString::Formatted("{{a}} }}{{")), std::u16string(u"{a} }{", 7));
  EXPECT_EQ(Units(GameString::Formatted(L"\u00E9{{}}")), std::u16string(u"\u00E9{}", 4));
}

TEST_F(GameStringTest, ReplacementFieldsAndLoneBracesFailBeforeAnyAllocation) {
  const struct {
    const char* narrow;
    const wchar_t* wide;
    const char* message;
  } cases[] = {{"{}", L"{}", "argument not found"},
               {"x {0}", L"x {0}", "argument not found"},
               {"{name}", L"{name}", "argument not found"},
               {"a } b", L"a } b", "unmatched '}' in format string"}};
  for (const auto& c : cases) {
    TraceScope trace;
    try {
      GameString::Formatted(c.narrow);
      ADD_FAILURE() << c.narrow << " formatted";
    } catch (const fmt::format_error& error) {
      EXPECT_STREQ(error.what(), c.message) << c.narrow;
    }
    EXPECT_THROW(GameString::Formatted(c.wide), fmt::format_error) << c.narrow;
    EXPECT_EQ(trace.Lines(), Lines{}) << c.narrow;
  }
}

TEST_F(GameStringTest, UnresolvableReallocFailsNamingTheFunction) {
  host().SetAddress("FMemory.Realloc", nullptr);
  try {
    GameString::FromNarrow("Hi");
    FAIL() << "built a string without an allocator";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("FMemory.Realloc"), std::string::npos) << error.what();
  }
}

TEST_F(GameStringTest, UnresolvableFreeStopsTheProcessRatherThanLeak) {
  EXPECT_DEATH(
      {
        const GameString hi = GameString::FromNarrow("Hi");
        host().SetAddress("FMemory.Free", nullptr);
      },
      "FMemory.Free is not available");
}

}  // namespace
