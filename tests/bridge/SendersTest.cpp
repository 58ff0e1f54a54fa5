#include "bridge/Senders.h"
#include "devhost/host/HostSeams.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/fmt/fmt.h>

#include "bridge/ChatLine.h"
#include "bridge/Colours.h"
#include "bridge/FString.h"
#include "bridge/GameFunctions.h"
#include "devhost/game/GameFunctionTable.h"
#include "tests/support/Recordings.h"
#include "tests/support/TestSupport.h"

using quorvane::ColourGreen;
using quorvane::ColourRed;
using quorvane::SendClientChatLine;
using quorvane::SendServerChatLine;
using quorvane::ShowNotification;
using quorvane::SrgbDecodeTable;
using quorvane::ToLinear;

namespace {

using test_support::CallLine;
using test_support::LookupLine;
using test_support::TraceScope;
using Lines = std::vector<std::string>;

std::string Text(const FLinearRgba& c) {
  return test_support::FloatsText({c.R, c.G, c.B, c.A});
}

TEST(ColoursTest, SrgbDecodeTableMatchesReferenceRows) {
  const std::pair<int, double> rows[] = {{0, 0.0},
                                         {1, 0.000303526983548838},
                                         {10, 0.00303526983548838},
                                         {11, 0.00334653564113713},
                                         {50, 0.0318960326156814},
                                         {100, 0.127437679409664},
                                         {128, 0.215860498718652},
                                         {200, 0.577580437952282},
                                         {254, 0.991102093719252},
                                         {255, 1.0}};
  for (const auto& [index, value] : rows) {
    EXPECT_NEAR(SrgbDecodeTable[static_cast<std::size_t>(index)], value, 4e-9) << index;
  }
}

TEST(ColoursTest, ToLinearDecodesColourBytesAndScalesAlphaInFloat) {
  const FLinearRgba half = ToLinear(FBgraColor{0, 0, 255, 128});
  EXPECT_EQ(Text(half), Text({1, 0, 0, 0.501960813999176f}));
  EXPECT_EQ(ToLinear(FBgraColor{0, 0, 0, 1}).A, 0.003921568859368563f);
  EXPECT_EQ(Text(ToLinear(FBgraColor{255, 128, 0, 255})), Text({0, 0.215860498718652f, 1, 1}));
  EXPECT_EQ(Text(ToLinear(ColourGreen)), "(0, 1, 0, 1)");
  EXPECT_EQ(Text(ToLinear(ColourRed)), "(1, 0, 0, 1)");
}

// The record as the game function received it. Like the game, it releases the record's strings
// and leaves the record itself alone: the plugin must not release them again.
std::string handed_over;

void RecordingClientChatMessage(AShooterPlayerController*, FChatLine* line) {
  const auto text = [](const FString& s) {
    return std::to_string(s.Count) + "/" + std::to_string(s.Capacity) + " " +
           (s.Data ? test_support::Utf8(s.Data) : std::string("null"));
  };
  handed_over = "sender " + text(line->Sender) + " text " + text(line->Text) + " others " +
                text(line->SenderPlatformName) + " " + text(line->SenderTribeName) + " " +
                text(line->Receiver) + " " + text(line->UserId) + " float " +
                devhost::FloatText(line->ReceivedTime) + " ints " + std::to_string(line->SenderId) +
                " " + std::to_string(line->SenderTeam) + " " + std::to_string(line->SendMode) +
                " " + std::to_string(line->RadioFrequency) + " " + std::to_string(line->ChatKind) +
                " pointer " + (line->SenderIcon == nullptr ? "null" : "set");
  const auto free = devhost::HostSeams::GameImplementation(kFMemoryFree);
  free(line->Sender.Data);
  free(line->Text.Data);
}

std::string notification_tail;

void RecordingNotification(AShooterPlayerController* player, FString* text, FLinearRgba* colour,
                           float scale, float time, void* sixth, void* seventh) {
  const auto pointer = [](const void* p) { return p == nullptr ? std::string("null") : "set"; };
  notification_tail = devhost::FloatText(scale) + " " + devhost::FloatText(time) + " " +
                      pointer(sixth) + " " + pointer(seventh);
  devhost::HostSeams::GameImplementation(kClientServerSOTFNotificationCustom)(
      player, text, colour, scale, time, sixth, seventh);
}

class SendersTest : public test_support::HostTest {
 protected:
  struct WideSender {
    const char* function;
    std::function<void(AShooterPlayerController*, const wchar_t*)> send;
  };
  std::vector<WideSender> WideSenders() {
    return {
        {kClientServerChatDirectMessage.name,
         [](auto* p, auto* t) {
           SendServerChatLine(p, {1, 1, 1, 1}, t);
         }},
        {kClientChatMessage.name, [this](auto* p, auto* t) { SendClientChatLine(p, server_, t); }},
        {kClientServerSOTFNotificationCustom.name, [](auto* p, auto* t) {
           ShowNotification(p, {1, 1, 1, 1}, 1, 2, t);
         }}};
  }
  Lines Seen() { return test_support::ScreenLines(Player()); }
  const FString server_ = FString::FromWide(L"Server");
};

TEST_F(SendersTest, ServerChatFormatsLooksUpCallsAndReleasesInThatOrder) {
  TraceScope trace;
  SendServerChatLine(&Player(), ToLinear(ColourGreen), "Reloaded config");
  EXPECT_EQ(trace.Lines(), (Lines{LookupLine(kFMemoryRealloc), "realloc(null, 76) -> #1",
                                  LookupLine(kClientServerChatDirectMessage),
                                  CallLine(kClientServerChatDirectMessage),
                                  LookupLine(kFMemoryFree), "free(#1)"}));
  SendServerChatLine(&Player(), {1, 1, 1, 1}, "caf\xC3\xA9 {{x}}");
  EXPECT_EQ(Seen(), (Lines{"ServerChat (0, 1, 0, 1) Reloaded config",
                           "ServerChat (1, 1, 1, 1) caf?? {x}"}));
}

TEST_F(SendersTest, ClientChatHandsOverADeepCopyThatOnlyTheGameReleases) {
  devhost::HostSeams::SetAddress(kClientChatMessage, &RecordingClientChatMessage);
  TraceScope trace;
  SendClientChatLine(&Player(), server_, L"Hi");  // releasing #4 or #5 again would abort
  // The text (#1), the sender's own record (#2, #3), the copy handed over (#4, #5); the game
  // releases the copy's strings, the sender the rest.
  const std::string realloc = LookupLine(kFMemoryRealloc);
  const std::string free = LookupLine(kFMemoryFree);
  EXPECT_EQ(trace.Lines(),
            (Lines{realloc, "realloc(null, 8) -> #1", realloc, "realloc(null, 14) -> #2", realloc,
                   "realloc(null, 6) -> #3", realloc, "realloc(null, 14) -> #4", realloc,
                   "realloc(null, 6) -> #5", LookupLine(kClientChatMessage), "free(#4)", "free(#5)",
                   free, "free(#3)", free, "free(#2)", free, "free(#1)"}));
  EXPECT_EQ(handed_over,
            "sender 7/7 Server text 3/3 Hi others 0/0 null 0/0 null 0/0 null 0/0 null float -1 "
            "ints 0 0 0 0 0 pointer null");
}

TEST_F(SendersTest, NotificationPassesScaleTimeAndTwoNullPointers) {
  devhost::HostSeams::SetAddress(kClientServerSOTFNotificationCustom, &RecordingNotification);
  ShowNotification(&Player(), {0.25f, 0.5f, 2, 1}, 1.5f, 5, L"Wipe");
  EXPECT_EQ(notification_tail, "1.5 5 null null");
  EXPECT_EQ(Seen(), Lines{"Notification (0.25, 0.5, 2, 1) 1.5 5 Wipe"});
}

TEST_F(SendersTest, EverySenderKeepsWideUnitsAndLooksUpOncePerSend) {
  for (const auto& sender : WideSenders()) {
    Player().ClearScreen();
    TraceScope trace;
    sender.send(&Player(), L"{{Gr\u00FC\u00DFe \U0001F600}}");
    sender.send(&Player(), L"again");
    const Lines lines = trace.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("lookup ") + sender.function), 2)
        << sender.function;
    ASSERT_EQ(Player().Screen().size(), 2u) << sender.function;
    EXPECT_EQ(Player().Screen()[0].text, u"{Gr\u00FC\u00DFe \U0001F600}") << sender.function;
  }
}

TEST_F(SendersTest, FormatErrorsLeaveBeforeAnyLookup) {
  for (const auto& sender : WideSenders()) {
    TraceScope trace;
    EXPECT_THROW(sender.send(&Player(), L"{}"), fmt::FormatError) << sender.function;
    EXPECT_EQ(trace.Lines(), Lines{}) << sender.function;
  }
  EXPECT_THROW(SendServerChatLine(&Player(), {}, "}"), fmt::FormatError);
  EXPECT_EQ(Seen(), Lines{});
}

TEST_F(SendersTest, NoPlayerOrNoGameFunctionSendsNothingAndReleasesEverything) {
  for (const auto& sender : WideSenders()) {
    TraceScope trace;
    sender.send(nullptr, L"nobody");
    const Lines lines = trace.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("call ") + sender.function), 0);

    devhost::HostSeams::RemoveAddress(sender.function);
    sender.send(&Player(), L"lost");
    devhost::HostSeams::RestoreAddresses();
  }
  EXPECT_EQ(Seen(), Lines{});  // the allocator balance is checked after every test
}

}  // namespace
