#include "commands/RegisterChatCommands.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/FString.h"
#include "commands/ReplyCallback.h"
#include "config/ConfigDocument.h"
#include "devhost/text/Text.h"
#include "tests/support/PluginTest.h"

using quorvane::ConfigDocument;
using quorvane::RegisterChatCommands;
using quorvane::ReplyCallback;

namespace {

using json = nlohmann::json;

class RegisterChatCommandsTest : public test_support::PluginTest {
 protected:
  // Registers from `document` and returns every registration in order as "text@position"
  // ("@?" for an empty text, which dispatch can never find).
  std::vector<std::string> Register(const std::string& document) {
    host().Registry().Clear();
    ConfigDocument = json::parse(document);
    RegisterChatCommands();
    return Registrations();
  }
  std::vector<std::string> Registrations() {
    std::vector<std::string> result;
    auto& registry = host().Registry();
    for (const std::u16string& name : registry.ChatNames()) {
      const auto found = registry.FindChat(name);
      result.push_back(
          devhost::Utf16ToUtf8(name) + "@" +
          (found ? std::to_string(found->callback.target<ReplyCallback>()->entry_index) : "?"));
      // Withdrawing the first registration of a name brings the next one of that name forward.
      registry.RemoveChatCommand(FString::FromWide(std::wstring(name.begin(), name.end()).c_str()));
    }
    return result;
  }
  using Names = std::vector<std::string>;
};

TEST_F(RegisterChatCommandsTest, RegistersEveryElementWithItsRunningPosition) {
  EXPECT_EQ(Register("null"), Names{});
  EXPECT_EQ(ConfigDocument, json({{"ChatCommands", nullptr}}));
  EXPECT_EQ(Register("{}"), Names{});
  EXPECT_EQ(ConfigDocument, json({{"ChatCommands", nullptr}}));
  EXPECT_EQ(Register(R"({"ChatCommands":[]})"), Names{});
  EXPECT_EQ(Register(R"({"ChatCommands":[{"Command":"/rules"},{"Command":"/help"},
                                         {"Command":"/wipe"}]})"),
            (Names{"/rules@0", "/help@1", "/wipe@2"}));
  EXPECT_EQ(Register(R"({"ChatCommands":{"b":{"Command":"/b"},"a":{"Command":"/a"}}})"),
            (Names{"/a@0", "/b@1"}));
  EXPECT_EQ(Register(R"({"ChatCommands":[{"Command":"/caf\u00e9"}]})"), Names{"/caf??@0"});
  EXPECT_EQ(Register(R"({"ChatCommands":[{"Command":""},{"Command":"/x"},{"Command":"/x"}]})"),
            (Names{"@?", "/x@1", "/x@2"}));
  EXPECT_TRUE(LogLines().empty());
}

// Every element is checked before the first registration: a start that fails half-way would
// leave the host holding callbacks of a library that is then unloaded.
TEST_F(RegisterChatCommandsTest, AnyBadElementRaisesItsErrorAndRegistersNothing) {
  const struct {
    const char* document;
    int id;
    const char* message;
  } cases[] = {
      {R"({"ChatCommands":[{"Command":"/a"},{"Command":"/b"},7]})", 305,
       "cannot use operator[] with number"},
      {R"({"ChatCommands":[{"Command":"/a"},{"Command":1},{"Command":[]}]})", 302,
       "type must be string, but is number"},
      {R"({"ChatCommands":[{"Command":"/a"},{"Reply":"no command"}]})", 302,
       "type must be string, but is null"},
      {R"({"ChatCommands":[null]})", 305, "cannot use operator[] with null"},
      {R"({"ChatCommands":"/a"})", 305, "cannot use operator[] with string"},
      {"[1]", 305, "cannot use operator[] with array"},
  };
  for (const auto& c : cases) {
    try {
      Register(c.document);
      ADD_FAILURE() << c.document << " registered";
    } catch (const nlohmann::detail::type_error& error) {
      EXPECT_EQ(error.id, c.id) << c.document;
      EXPECT_EQ(std::string(error.what()),
                "[json.exception.type_error." + std::to_string(c.id) + "] " + c.message)
          << c.document;
    }
    EXPECT_EQ(Registrations(), Names{}) << c.document;
  }
  EXPECT_TRUE(LogLines().empty());
}

}  // namespace
