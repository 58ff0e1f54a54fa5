// Text that platforms treat differently, through the built plugin library: replies outside
// ASCII (16-bit wchar_t on Windows, 32-bit on Linux) and a configuration file with CRLF line
// ends (read in text mode on Windows).

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devhost/host/PluginLoader.h"
#include "tests/support/TestSupport.h"

namespace {

using test_support::HostTest;

// One reply of each kind: Latin letters with accents, a non-Latin script, and characters
// above U+FFFF (surrogate pairs in the game's UTF-16).
const std::vector<std::string> kConfigLines = {
    "\xEF\xBB\xBF{",
    R"(  "ChatCommands": [)",
    R"(    {"Command": "/cafe", "Type": "ServerChat", "Color": [1, 1, 1, 1],)",
    "     \"Reply\": \"Caf\xC3\xA9 d\xC3\xA9j\xC3\xA0 vu \xE2\x80\x93 \xC2\xBD price\"},",
    R"(    {"Command": "/greet", "Type": "ClientChat",)",
    "     \"Reply\": \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
    "\xE4\xBD\xA0\xE5\xA5\xBD\"},",
    R"(    {"Command": "/boss", "Type": "Notification", "Color": [1, 0, 0, 1],)",
    R"(     "DisplayScale": 2, "DisplayTime": 5,)",
    "     \"Reply\": \"Boss \xF0\x9F\x90\x89 at \xF0\x9D\x84\x9E!\"}",
    "  ]",
    "}"};

const std::u16string kReplies[] = {u"Caf\u00E9 d\u00E9j\u00E0 vu \u2013 \u00BD price",
                                   u"\u041F\u0440\u0438\u0432\u0435\u0442 \u4F60\u597D",
                                   u"Boss \U0001F409 at \U0001D11E!"};

std::string Joined(const std::string& line_end) {
  std::string text;
  for (const auto& line : kConfigLines) {
    text += line + line_end;
  }
  return text;
}

class PlatformTextTest : public HostTest {
 protected:
  // Loads the plugin on `config`, plays the three commands, and returns what alice saw.
  std::vector<devhost::ScreenMessage> Play(const std::string& config) {
    server_.WriteConfig(config);
    devhost::StartReport report;
    auto plugin = devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report);
    EXPECT_TRUE(plugin) << report.error;
    if (!plugin) {
      return {};
    }
    EXPECT_EQ(report.chat_commands, (std::vector<std::string>{"/cafe", "/greet", "/boss"}));
    auto& alice = Player("alice");
    alice.ClearScreen();
    for (const char* command : {"/cafe", "/greet", "/boss"}) {
      EXPECT_EQ(host().DispatchChat(&alice, command).status, devhost::DispatchResult::Status::Done);
    }
    plugin.reset();
    return {alice.Screen().begin(), alice.Screen().end()};
  }
};

TEST_F(PlatformTextTest, RepliesOutsideAsciiArriveAsExactUtf16Units) {
  const auto screen = Play(Joined("\n"));
  ASSERT_EQ(screen.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(screen[i].text, kReplies[i]) << i;
  }
  EXPECT_EQ(screen[1].sender, u"Server");
}

TEST_F(PlatformTextTest, CrlfConfigAnswersExactlyAsLf) {
  const auto lf = Play(Joined("\n"));
  const auto crlf = Play(Joined("\r\n"));
  ASSERT_EQ(lf.size(), 3u);
  ASSERT_EQ(crlf.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(crlf[i].text, lf[i].text) << i;
    EXPECT_EQ(crlf[i].kind, lf[i].kind) << i;
    EXPECT_EQ(crlf[i].scale, lf[i].scale) << i;
  }
}

}  // namespace
