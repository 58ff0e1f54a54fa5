#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/ConfigDocument.h"
#include "config/EntryKeys.h"
#include "config/ReplyTypes.h"
#include "tests/support/PluginTest.h"

using quorvane::ConfigDocument;
using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::kEntryKeys;
using quorvane::kReplyTypes;
using quorvane::kTypeKey;
using quorvane::LoadConfig;
using quorvane::NeededFor;

namespace {

using json = nlohmann::json;
using test_support::PluginTest;

using LoadConfigTest = PluginTest;

TEST_F(LoadConfigTest, ReadsTheFirstValueOnly) {
  const struct {
    const char* name;
    std::string bytes;
    json expected;
  } cases[] = {
      {"byte-order mark", "\xEF\xBB\xBF{\"a\":1}", {{"a", 1}}},
      {"trailing text", "{\"a\":1} trailing {oops", {{"a", 1}}},
      {"second value", "[1] [2]", json::array({1})},
      {"repeated key", R"({"Reply":"first","Reply":"second"})", {{"Reply", "first"}}},
      {"repeated key with nested value",
       R"({"a":{"x":1},"a":{"y":[1,{"z":2}]},"b":[{"k":1,"k":{"deep":[]}}]})",
       {{"a", {{"x", 1}}}, {"b", json::array({{{"k", 1}}})}}},
      {"non-ASCII text",
       "{\"Reply\":\"Gr\xC3\xBC\xC3\x9F"
       "e\"}",
       {{"Reply",
         "Gr\xC3\xBC\xC3\x9F"
         "e"}}},
      {"whole file null", "null", nullptr},
  };
  for (const auto& c : cases) {
    server_.WriteConfig(c.bytes);
    ASSERT_NO_THROW(LoadConfig()) << c.name;
    EXPECT_EQ(ConfigDocument, c.expected) << c.name;
  }
}

TEST_F(LoadConfigTest, FailedLoadKeepsWhateverTheDocumentHeld) {
  // The library's own texts; a position counts the bytes the parser took, the byte-order mark
  // it dropped aside.
  const std::string at = "[json.exception.parse_error.101] parse error at ";
  const std::string end_of_input =
      ": syntax error - unexpected end of input; expected '[', '{', or a literal";
  const struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"empty file", "", at + "1" + end_of_input},
      {"blank file", " \n\t", at + "4" + end_of_input},
      {"byte-order mark only", "\xEF\xBB\xBF", at + "1" + end_of_input},
      {"EF BB then another byte", "\xEF\xBB{}",
       at + "1: syntax error - invalid literal; last read: '\xEF'"},
      {"two byte-order marks", "\xEF\xBB\xBF\xEF\xBB\xBF{}",
       at + "1: syntax error - invalid literal; last read: '\xEF'"},
      {"syntax error inside ChatCommands", R"({"ChatCommands":[{"Command":"/a"},{"Comm)",
       at + "41: syntax error - invalid string: missing closing quote; last read: '\"Comm'; "
            "expected string literal"},
      {"control character in a string", "{\"Reply\":\"a\tb\"}",
       at + "12: syntax error - invalid string: control character must be escaped; last read: "
            "'\"a<U+0009>'"},
      {"ill-formed UTF-8", "{\"Reply\":\"caf\xC3(\"}",
       at + "15: syntax error - invalid string: ill-formed UTF-8 byte; last read: '\"caf\xC3('"},
      {"number overflow", R"({"DisplayTime":1e999})",
       "[json.exception.out_of_range.406] number overflow parsing '1e999'"},
  };
  const json last_good = {{"ChatCommands", json::array({{{"Command", "/a"}}})}};
  for (const auto& c : cases) {
    for (const json& before : {json(nullptr), last_good}) {
      ConfigDocument = before;
      server_.WriteConfig(c.bytes);
      try {
        LoadConfig();
        ADD_FAILURE() << c.name << " loaded";
      } catch (const nlohmann::detail::parse_error& error) {
        EXPECT_EQ(error.what(), c.message) << c.name;
      } catch (const nlohmann::detail::out_of_range& error) {
        EXPECT_EQ(error.what(), c.message) << c.name;
      }
      EXPECT_EQ(ConfigDocument, before) << c.name;
    }
  }
}

TEST_F(LoadConfigTest, MissingOrDirectoryFileCannotBeOpened) {
  ConfigDocument = {{"kept", true}};
  for (bool directory : {false, true}) {
    if (directory) {
      std::filesystem::create_directories(server_.ConfigPath());
    }
    try {
      LoadConfig();
      ADD_FAILURE() << "opened " << server_.ConfigPath();
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Can't open config.json");
    }
    EXPECT_EQ(ConfigDocument, json({{"kept", true}}));
  }
}

TEST_F(LoadConfigTest, NestingIsRefusedPastFiveHundredTwelveLevels) {
  const auto nested = [](std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
  };
  server_.WriteConfig(nested(512));
  ASSERT_NO_THROW(LoadConfig());
  EXPECT_TRUE(ConfigDocument.is_array());

  // Brackets in strings are text, however they are escaped, also where a backslash ends one
  // block of the file that the reader takes (16 KiB, or near it) and the quote it escapes
  // begins the next.
  const std::string brackets(600, '[');
  std::vector<std::string> loading = {"[\"" + brackets + "\"," + nested(511) + "]",
                                      "{\"a\\\"[\":\"\\\\\",\"b\":\"" + brackets + "\"}"};
  for (std::size_t backslash_at = 16376; backslash_at <= 16392; ++backslash_at) {
    loading.push_back("{\"a\":\"" + std::string(backslash_at - 6, 'x') + "\\\"" + brackets + "\"}");
  }
  for (const std::string& text : loading) {
    server_.WriteConfig(text);
    EXPECT_NO_THROW(LoadConfig()) << text.size();
  }

  const json before = ConfigDocument;
  for (const std::string& text : {nested(513), nested(100000), "[\"\\\\\"," + nested(512) + "]"}) {
    server_.WriteConfig(text);
    EXPECT_THROW(LoadConfig(), std::runtime_error) << text.substr(0, 40);
  }
  EXPECT_EQ(ConfigDocument, before);
}

// The schema that editors check config.json with knows the keys, their kinds and which reply
// type needs which.
TEST(ConfigSchemaTest, AsksForTheKeysEachTypeReads) {
  std::ifstream file(std::string(QUORVANE_EXAMPLES_DIR) + "/config.schema.json");
  const json schema = json::parse(file);
  const json& entry = schema["$defs"]["entry"];
  const json& properties = entry["properties"];
  EXPECT_EQ(properties.size(), kEntryKeys.size());
  for (const EntryKey* key : kEntryKeys) {
    ASSERT_EQ(properties.count(key->name), 1u) << key->name;
    const json& property = properties[key->name];
    const json& typed = property.count("$ref") == 0
                            ? property
                            : schema["$defs"][property["$ref"].get<std::string>().substr(8)];
    const char* kind = key->kind == EntryValueKind::String   ? "string"
                       : key->kind == EntryValueKind::Number ? "number"
                                                             : "array";
    EXPECT_EQ(typed.value("type", std::string("string")), kind) << key->name;  // Type: an enum
  }
  EXPECT_EQ(properties[kTypeKey.name]["enum"],
            json(std::vector<std::string>(kReplyTypes.begin(), kReplyTypes.end())));

  for (const std::string_view type : kReplyTypes) {
    auto required = entry["required"].get<std::set<std::string>>();
    for (const json& rule : entry["allOf"]) {
      if (rule["if"]["properties"]["Type"]["const"] == std::string(type)) {
        const auto more = rule["then"]["required"].get<std::set<std::string>>();
        required.insert(more.begin(), more.end());
      }
    }
    std::set<std::string> needed;
    for (const EntryKey* key : kEntryKeys) {
      if (NeededFor(*key, type)) {
        needed.insert(key->name);
      }
    }
    EXPECT_EQ(required, needed) << type;
  }
}

}  // namespace
