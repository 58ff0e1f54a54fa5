#include "commands/ReplyCallback.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/fmt/fmt.h>
#include <nlohmann/json.hpp>

#include "bridge/FString.h"
#include "config/ConfigDocument.h"
#include "tests/support/PluginTest.h"
#include "tests/support/Recordings.h"

using quorvane::ConfigDocument;
using quorvane::ReplyCallback;

namespace {

using json = nlohmann::json;

class ReplyCallbackTest : public test_support::PluginTest {
 protected:
  // Makes `entry` the only element of "ChatCommands", runs the command of position 0 and
  // returns what alice saw.
  std::vector<std::string> Use(const std::string& entry, int position = 0) {
    ConfigDocument = {{"ChatCommands", json::array({json::parse(entry)})}};
    Player().ClearScreen();
    ReplyCallback{position}(&Player(), nullptr, EChatSendMode::GlobalChat);
    return Seen();
  }
  std::vector<std::string> Seen() { return test_support::ScreenLines(Player()); }
};

TEST_F(ReplyCallbackTest, SendsEachKindWithTheValuesItNeeds) {
  const struct {
    const char* entry;
    const char* seen;  // empty: nothing sent
  } cases[] = {
      {R"({"Type":"ServerChat","Reply":"Hi","Color":[1,0.5,true,1]})",
       "ServerChat (1, 0.5, 1, 1) Hi"},
      {R"({"Type":"ServerChat","Reply":"Red","Color":[255,0,false,255,"fifth"]})",
       "ServerChat (255, 0, 0, 255) Red"},
      // The nearest float to the integer written, 2^60 + 2^37, not to a double near it (2^60).
      {R"({"Type":"ServerChat","Reply":"Big","Color":[1152921573326323713,1,1,1]})",
       "ServerChat (1.1529216e+18, 1, 1, 1) Big"},
      {R"({"Type":"ClientChat","Reply":"Ask an admin"})", "ClientChat Server: Ask an admin"},
      {R"({"Type":"Notification","Reply":"Wipe","DisplayScale":1,"DisplayTime":5.5,
           "Color":[1,1,1,1]})",
       "Notification (1, 1, 1, 1) 1 5.5 Wipe"},
      {R"({"Type":"ClientChat","Reply":"Gr\u00fc\u00dfe \u20ac \ud83d\ude00"})",
       "ClientChat Server: Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {R"({"Type":"ClientChat","Reply":"{{rules}} }}"})", "ClientChat Server: {rules} }"},
      {R"({"Type":"serverchat","Reply":"x","Color":[1,1,1,1]})", ""},
      {R"({"Type":"ServerChat ","Reply":"x","Color":[1,1,1,1]})", ""},
      {R"({"Type":"Whisper","Reply":"x"})", ""},
  };
  for (const auto& c : cases) {
    const auto seen = Use(c.entry);
    EXPECT_EQ(seen, *c.seen ? std::vector<std::string>{c.seen} : std::vector<std::string>{})
        << c.entry;
  }
}

TEST_F(ReplyCallbackTest, TypedTextAndChannelMakeNoDifference) {
  Use(R"({"Type":"ClientChat","Reply":"Same"})");
  FString typed = FString::FromNarrow("/help me please");
  ReplyCallback{0}(&Player(), &typed, EChatSendMode::LocalChat);
  EXPECT_EQ(Seen(), std::vector<std::string>(2, "ClientChat Server: Same"));
}

TEST_F(ReplyCallbackTest, FaultyEntriesRaiseTheirTypeErrorBeforeSendingAnything) {
  const struct {
    const char* entry;
    int id;
    const char* message;
  } cases[] = {
      {R"({"Type":"ServerChat","Reply":"x","Color":[0,1,0]})", 302,
       "type must be number, but is null"},
      {R"({"Type":"ServerChat","Reply":"x","Color":"red"})", 305,
       "cannot use operator[] with string"},
      {R"({"Type":"ServerChat","Reply":"x","Color":{"R":1}})", 305,
       "cannot use operator[] with object"},
      {R"({"Type":"ServerChat","Reply":"x","Color":["1",0,0,1]})", 302,
       "type must be number, but is string"},
      {R"({"Reply":"x"})", 302, "type must be string, but is null"},
      {R"({"Reply":"x","Type":5})", 302, "type must be string, but is number"},
      {R"({"Reply":42})", 302, "type must be string, but is number"},  // Reply read first
      {R"({"Reply":42,"Type":"Whisper"})", 302, "type must be string, but is number"},
      {R"({"Type":"Notification","Reply":"x"})", 302, "type must be number, but is null"},
      {R"({"Type":"Notification","Reply":"x","DisplayScale":"big"})", 302,
       "type must be number, but is string"},  // scale before time
      {R"({"Type":"Notification","Reply":"x","DisplayScale":1,"DisplayTime":"1","Color":1})", 302,
       "type must be number, but is string"},  // time before colour
      {R"("not an entry")", 305, "cannot use operator[] with string"},
  };
  for (const auto& c : cases) {
    try {
      Use(c.entry);
      ADD_FAILURE() << c.entry << " raised nothing";
    } catch (const nlohmann::detail::type_error& error) {
      EXPECT_EQ(error.id, c.id) << c.entry;
      EXPECT_EQ(std::string(error.what()),
                "[json.exception.type_error." + std::to_string(c.id) + "] " + c.message)
          << c.entry;
    }
    EXPECT_EQ(ConfigDocument, json({{"ChatCommands", {json::parse(c.entry)}}}))
        << c.entry << ": the entry is read from a copy";
    EXPECT_EQ(Seen(), std::vector<std::string>{}) << c.entry;
  }
  EXPECT_THROW(Use(R"({"Type":"ClientChat","Reply":"{}"})"), fmt::FormatError);
  EXPECT_EQ(Seen(), std::vector<std::string>{});
}

TEST_F(ReplyCallbackTest, DocumentShapesSeenThroughThePosition) {
  EXPECT_THROW(Use(R"({"Type":"ClientChat","Reply":"first"})", 2), nlohmann::detail::type_error);
  EXPECT_EQ(ConfigDocument["ChatCommands"].size(), 3u) << "grown with nulls up to position 2";

  ConfigDocument = nullptr;  // never loaded
  EXPECT_THROW(ReplyCallback{0}(&Player(), nullptr, EChatSendMode::GlobalChat),
               nlohmann::detail::type_error);
  EXPECT_EQ(ConfigDocument, json({{"ChatCommands", {nullptr}}}));

  ConfigDocument = json::parse(R"({"ChatCommands":{"a":{"Type":"ClientChat","Reply":"a"}}})");
  try {
    ReplyCallback{0}(&Player(), nullptr, EChatSendMode::GlobalChat);
    ADD_FAILURE() << "an object list answered";
  } catch (const nlohmann::detail::type_error& error) {
    EXPECT_STREQ(error.what(),
                 "[json.exception.type_error.305] cannot use operator[] with "
                 "object");
  }
  EXPECT_TRUE(Player().Screen().empty());
}

}  // namespace
