// The development host's own rules: command matching and dispatch, the game allocator's refusal
// of foreign pointers and text decoding.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bridge/FString.h"
#include "bridge/GameFunctions.h"
#include "bridge/HostApi.h"
#include "devhost/game/Allocator.h"
#include "devhost/host/Host.h"
#include "devhost/text/Text.h"
#include "tests/support/LogTime.h"
#include "tests/support/TestSupport.h"

namespace {

using devhost::DispatchResult;
using Status = DispatchResult::Status;

class DispatchTest : public test_support::HostTest {
 protected:
  void Chat(const char* name, const std::string& tag) {
    host().Registry().RegisterChatCommand(
        FString::FromNarrow(name),
        [this, tag](AShooterPlayerController* player, FString* typed, EChatSendMode::Type mode) {
          calls_.push_back(tag + " " + test_support::Utf8(std::u16string(typed->Data)) + " " +
                           std::to_string(mode) + (player == &Player() ? " alice" : " other"));
        });
  }
  std::vector<std::string> calls_;
};

TEST_F(DispatchTest, ChatMatchesFirstWordIgnoringAsciiCaseAndFirstRegistrationWins) {
  Chat("/Rules", "A");
  Chat("/rules", "B");
  Chat("", "empty");
  Chat("/\xC3\xA9", "accent");  // registered as "/??"
  const struct {
    const char* typed;
    const char* call;  // empty: no command matches
  } cases[] = {
      {"/rules", "A /rules 0 alice"},
      {"/RULES and more words", "A /RULES and more words 0 alice"},
      {"  /rUlEs", "A   /rUlEs 0 alice"},
      {"/rules\tx", "A /rules\tx 0 alice"},
      {"/rulesx", ""},
      {"say /rules", ""},
      {"", ""},
      {"   ", ""},
      {"/??", "accent /?? 0 alice"},
  };
  for (const auto& c : cases) {
    calls_.clear();
    const DispatchResult result = host().DispatchChat(&Player(), c.typed);
    EXPECT_EQ(result.status, *c.call ? Status::Done : Status::Unmatched) << c.typed;
    EXPECT_EQ(calls_, *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{})
        << '"' << c.typed << '"';
  }
  calls_.clear();
  host().DispatchChat(&Player(), "/rules", EChatSendMode::LocalChat);
  EXPECT_EQ(calls_, std::vector<std::string>{"A /rules 2 alice"});
  EXPECT_EQ(host().DispatchConsole(&Player(), "/rules").status, Status::Unmatched);
}

TEST_F(DispatchTest, ConsoleHandsTheCallerAsBaseClassOrNullForTheServer) {
  std::vector<APlayerController*> callers;
  host().Registry().RegisterConsoleCommand(
      FString::FromNarrow("Quorvane.Reload"),
      [&](APlayerController* caller, FString*, bool) { callers.push_back(caller); });
  EXPECT_EQ(host().DispatchConsole(&Player(), "quorvane.RELOAD").status, Status::Done);
  EXPECT_EQ(host().DispatchConsole(nullptr, "Quorvane.Reload now").status, Status::Done);
  EXPECT_EQ(host().DispatchChat(&Player(), "Quorvane.Reload").status, Status::Unmatched);
  EXPECT_EQ(callers, (std::vector<APlayerController*>{&Player(), nullptr}));
}

TEST_F(DispatchTest, ExceptionFromACallbackIsLoggedAndTheHostGoesOn) {
  Chat("/ok", "ok");
  host().Registry().RegisterChatCommand(
      FString::FromNarrow("/boom"), [](AShooterPlayerController*, FString*, EChatSendMode::Type) {
        throw std::runtime_error("bad entry");
      });
  host().Registry().RegisterChatCommand(
      FString::FromNarrow("/odd"),
      [](AShooterPlayerController*, FString*, EChatSendMode::Type) { throw 7; });

  const DispatchResult boom = host().DispatchChat(&Player(), "/BOOM");
  EXPECT_EQ(boom.status, Status::Failed);
  EXPECT_EQ(boom.command, "/boom");
  EXPECT_EQ(boom.error, "bad entry");
  EXPECT_EQ(host().DispatchChat(&Player(), "/odd").status, Status::Failed);
  EXPECT_EQ(host().DispatchChat(&Player(), "/ok").status, Status::Done);

  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(test_support::WithoutTime(lines[0]),
            "[devhost][error] command /boom failed: bad entry");
  EXPECT_EQ(test_support::WithoutTime(lines[1]),
            "[devhost][error] command /odd failed: unknown exception");
  EXPECT_TRUE(Player().Screen().empty());
}

TEST_F(DispatchTest, UnknownGameFunctionIsNullWithAWarning) {
  EXPECT_EQ(GetAddress("FMemory.Malloc"), nullptr);
  EXPECT_NE(GetAddress(kFMemoryFree.name), nullptr);
  ASSERT_EQ(LogLines().size(), 1u);
  EXPECT_EQ(test_support::WithoutTime(LogLines()[0]),
            "[devhost][warning] GetAddress: no game function named \"FMemory.Malloc\"");
}

// A long session or a huge reply must not grow a player's record without end, while what one
// exchange sent stays readable.
TEST_F(DispatchTest, ScreenKeepsTheLatestMessagesWholeAndPlayersAreKnownByAddress) {
  auto& alice = Player();
  const std::size_t kept = AShooterPlayerController::kKeptMessages;
  for (std::size_t i = 0; i < kept + 10; ++i) {
    devhost::ScreenMessage message;
    message.text = devhost::Utf8ToUtf16(std::to_string(i));
    devhost::Game::Instance().Show(alice, std::move(message));
  }
  ASSERT_EQ(alice.Screen().size(), kept);
  EXPECT_EQ(alice.Screen().front().text, u"10");
  EXPECT_EQ(alice.Screen().back().text, devhost::Utf8ToUtf16(std::to_string(kept + 9)));

  devhost::ScreenMessage huge;
  huge.text.assign(AShooterPlayerController::kKeptUnits + 1, u'x');
  devhost::Game::Instance().Show(alice, huge);
  ASSERT_EQ(alice.Screen().size(), 1u);
  EXPECT_EQ(alice.Screen().front().text, huge.text);

  AShooterPlayerController stranger("alice");
  EXPECT_TRUE(host().IsPlayer(&alice));
  EXPECT_FALSE(host().IsPlayer(&stranger));
  EXPECT_FALSE(host().IsPlayer(nullptr));
}

TEST(GameAllocatorTest, EveryNonEmptyRequestGetsAWritableBlockAndZeroFreesIt) {
  devhost::GameAllocator allocator;
  EXPECT_EQ(allocator.Realloc(nullptr, 0), nullptr);
  // One block, grown, shrunk, grown again, then freed by a size of 0.
  const std::uint64_t sizes[] = {1, 2, 8, 3, 1 << 16, 0};
  void* block = nullptr;
  for (const std::uint64_t bytes : sizes) {
    block = allocator.Realloc(block, bytes);
    const devhost::AllocatorStats stats = allocator.Stats();
    EXPECT_EQ(block != nullptr, bytes != 0) << bytes;
    EXPECT_EQ(stats.live_blocks, bytes != 0 ? 1u : 0u) << bytes;
    EXPECT_EQ(stats.live_bytes, bytes) << bytes;
    if (block != nullptr) {
      static_cast<unsigned char*>(block)[bytes - 1] = 0xAB;  // the whole size is ours
    }
  }
}

TEST(GameAllocatorTest, ForeignPointerAborts) {
  devhost::GameAllocator allocator;
  int local = 0;
  const std::string foreign = " called with .* never gave out";
  EXPECT_DEATH(allocator.Free(&local), kFMemoryFree.name + foreign);
  EXPECT_DEATH(allocator.Realloc(&local, 8), kFMemoryRealloc.name + foreign);
}

TEST(TextTest, Utf8DecodeReplacesEachIllFormedByte) {
  const struct {
    const char* name;
    std::string utf8;
    std::wstring wide;
    std::u16string utf16;
  } cases[] = {
      {"well-formed", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", L"a\u00E9\u20AC\U0001F600",
       u"a\u00E9\u20AC\U0001F600"},
      {"lone continuation", "a\x80z", L"a\uFFFDz", u"a\uFFFDz"},
      {"truncated at end", "a\xC3", L"a\uFFFD", u"a\uFFFD"},
      {"truncated before ASCII", "\xE2\x82z", L"\uFFFD\uFFFDz", u"\uFFFD\uFFFDz"},
      {"overlong", "\xC0\xAF", L"\uFFFD\uFFFD", u"\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD",
       u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead", "\xFF", L"\uFFFD", u"\uFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ArkApi::Tools::Utf8Decode(c.utf8), c.wide) << c.name;
    EXPECT_EQ(devhost::Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    EXPECT_EQ(devhost::Utf8ToUtf16(devhost::Utf16ToUtf8(c.utf16)), c.utf16) << c.name;
  }
  EXPECT_EQ(devhost::Utf16ToUtf8(u"a\xD800z\xDC00"), "a\uFFFDz\uFFFD");  // lone surrogates
}

}  // namespace
