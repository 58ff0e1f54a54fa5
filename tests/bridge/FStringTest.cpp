#include "bridge/FString.h"
#include "devhost/host/HostSeams.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/fmt/fmt.h>

#include "bridge/GameFunctions.h"
#include "tests/support/Recordings.h"
#include "tests/support/TestSupport.h"

namespace {

using test_support::HostTest;
using test_support::TraceScope;
using Lines = std::vector<std::string>;

const std::string kLookupRealloc = test_support::LookupLine(kFMemoryRealloc);
const std::string kLookupFree = test_support::LookupLine(kFMemoryFree);

// Every unit in use, the terminator included.
std::u16string Units(const FString& string) {
  return string.Data == nullptr
             ? std::u16string()
             : std::u16string(string.Data, static_cast<std::size_t>(string.Count));
}

using FStringTest = HostTest;

TEST_F(FStringTest, EmptyAndNullTextsTouchNeitherHostNorAllocator) {
  TraceScope trace;
  // An empty text makes a count of 1, only the terminating zero: it stays the empty string.
  {
    const FString strings[] = {FString(),
                               FString::FromNarrow(nullptr),
                               FString::FromNarrow(""),
                               FString::FromWide(nullptr),
                               FString::FromWide(L""),
                               FString::Formatted(""),
                               FString::Formatted(L""),
                               FString(FString())};
    for (const FString& string : strings) {
      EXPECT_EQ(string.Data, nullptr);
      EXPECT_EQ(string.Count, 0);
      EXPECT_EQ(string.Capacity, 0);
    }
  }
  EXPECT_EQ(trace.Lines(), Lines{});
}

TEST_F(FStringTest, TwoLettersTakeOneAllocationOfEightBytesAndOneRelease) {
  TraceScope trace;
  {
    const FString hi = FString::FromNarrow("Hi");
    EXPECT_EQ(hi.Count, 3);
    EXPECT_EQ(hi.Capacity, 4);
    EXPECT_EQ(Units(hi), std::u16string(u"Hi", 3));
  }
  EXPECT_EQ(trace.Lines(),
            (Lines{kLookupRealloc, "realloc(null, 8) -> #1", kLookupFree, "free(#1)"}));
}

TEST_F(FStringTest, TextGetsSpareRoomByTheGrowthRule) {
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
    const FString string = FString::FromNarrow(c.text.c_str());
    EXPECT_EQ(string.Count, c.count) << c.text;
    EXPECT_EQ(string.Capacity, c.capacity) << c.text;
    EXPECT_EQ(trace.Lines(), (Lines{kLookupRealloc,
                                    "realloc(null, " + std::to_string(c.capacity * 2) + ") -> #1"}))
        << c.text;
  }
}

TEST_F(FStringTest, NarrowTextIsOneUnitPerByteWithHighBytesAsQuestionMarks) {
  const FString cafe = FString::FromNarrow("caf\xC3\xA9");
  EXPECT_EQ(Units(cafe), std::u16string(u"caf??", 6));
  const FString edge = FString::FromNarrow("\x7F\x80\xFF");
  EXPECT_EQ(Units(edge), std::u16string(u"\x7F??", 4));
}

TEST_F(FStringTest, WideTextKeepsEveryUnitAndSplitsAstralCharactersIntoSurrogates) {
  const FString wide = FString::FromWide(L"caf\u00E9\u20AC");
  EXPECT_EQ(Units(wide), std::u16string(u"caf\u00E9\u20AC", 6));
  EXPECT_EQ(wide.Capacity, FString::FromNarrow("12345").Capacity);

  const FString astral = FString::FromWide(L"a\U0001F600");
  EXPECT_EQ(astral.Count, 4);
  EXPECT_EQ(Units(astral), (std::u16string{u'a', 0xD83D, 0xDE00, 0}));
}

TEST_F(FStringTest, CopyIsExactlySizedAndOwnsItsStorage) {
  const FString server = FString::FromWide(L"Server");
  ASSERT_EQ(server.Capacity, 25);
  TraceScope trace;
  const FString copy(server);
  EXPECT_EQ(copy.Count, 7);
  EXPECT_EQ(copy.Capacity, 7);
  EXPECT_NE(copy.Data, server.Data);
  EXPECT_EQ(Units(copy), Units(server));
  EXPECT_EQ(trace.Lines(), (Lines{kLookupRealloc, "realloc(null, 14) -> #1"}));
}

TEST_F(FStringTest, FormattingTurnsDoubledBracesIntoSingleOnes) {
  EXPECT_EQ(Units(FString::Formatted("{{a}} }}{{")), std::u16string(u"{a} }{", 7));
  EXPECT_EQ(Units(FString::Formatted(L"\u00E9{{}}")), std::u16string(u"\u00E9{}", 4));
}

TEST_F(FStringTest, ReplacementFieldsAndLoneBracesFailBeforeAnyAllocation) {
  const struct {
    const char* narrow;
    const wchar_t* wide;
    const char* message;
  } cases[] = {{"{}", L"{}", "argument index out of range"},
               {"{0}", L"{0}", "argument index out of range"},
               {"x {1} y", L"x {1} y", "argument index out of range"},
               {"{name}", L"{name}", "argument not found"},
               {"a { b", L"a { b", "invalid format string"},
               {"a } b", L"a } b", "unmatched '}' in format string"}};
  for (const auto& c : cases) {
    TraceScope trace;
    try {
      FString::Formatted(c.narrow);
      ADD_FAILURE() << c.narrow << " formatted";
    } catch (const fmt::FormatError& error) {
      EXPECT_STREQ(error.what(), c.message) << c.narrow;
    }
    EXPECT_THROW(FString::Formatted(c.wide), fmt::FormatError) << c.narrow;
    EXPECT_EQ(trace.Lines(), Lines{}) << c.narrow;
  }
}

TEST_F(FStringTest, UnresolvableReallocFailsNamingTheFunction) {
  devhost::HostSeams::SetAddress(kFMemoryRealloc, nullptr);
  try {
    FString::FromNarrow("Hi");
    FAIL() << "built a string without an allocator";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(kFMemoryRealloc.name), std::string::npos)
        << error.what();
  }
}

TEST_F(FStringTest, UnresolvableFreeStopsTheProcessRatherThanLeak) {
  EXPECT_DEATH(
      {
        const FString hi = FString::FromNarrow("Hi");
        devhost::HostSeams::SetAddress(kFMemoryFree, nullptr);
      },
      std::string(kFMemoryFree.name) + " is not available");
}

}  // namespace
