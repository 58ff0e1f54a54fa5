// The session line format: chat, a player's console, the server console, and what is no line.

#include <gtest/gtest.h>

#include "devhost/session/Session.h"

namespace {

TEST(SessionLineTest, ParsesChatConsoleAndServerLines) {
  using Kind = devhost::SessionLine::Kind;
  const struct {
    const char* line;
    Kind kind;
    const char* player;
    const char* text;
  } cases[] = {
      {"alice: /rules", Kind::Chat, "alice", "/rules"},
      {"bob: /help extra words\r", Kind::Chat, "bob", "/help extra words"},
      {"alice:/rules", Kind::Chat, "alice", "/rules"},
      {"Ünal: /rules", Kind::Chat, "Ünal", "/rules"},
      {"alice> Quorvane.Reload", Kind::PlayerConsole, "alice", "Quorvane.Reload"},
      {"> Quorvane.Reload", Kind::ServerConsole, "", "Quorvane.Reload"},
      {"alice: a: b> c", Kind::Chat, "alice", "a: b> c"},
      {"", Kind::Skip, "", ""},
      {"  \t", Kind::Skip, "", ""},
      {"# alice: /rules", Kind::Skip, "", ""},
      {"just words", Kind::Invalid, "", ""},
      {"two words: /rules", Kind::Invalid, "", ""},
      {": /rules", Kind::Invalid, "", ""},
  };
  for (const auto& c : cases) {
    const devhost::SessionLine parsed = devhost::ParseSessionLine(c.line);
    EXPECT_EQ(parsed.kind, c.kind) << c.line;
    EXPECT_EQ(parsed.player, c.player) << c.line;
    EXPECT_EQ(parsed.text, c.text) << c.line;
  }
}

}  // namespace
