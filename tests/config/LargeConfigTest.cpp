// config.json is read in fixed-size blocks; files that end on, or straddle, a block boundary
// must arrive byte for byte, and a reply's text must reach the player whole.

#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/ConfigDocument.h"
#include "tests/support/PluginTest.h"

using quorvane::ConfigDocument;
using quorvane::LoadConfig;

namespace {

using json = nlohmann::json;
using test_support::PluginTest;

constexpr std::size_t kBlock = 16384;

// A config whose serialised size is exactly `size` bytes, padded inside one reply made of
// two-byte UTF-8 letters, so some letter straddles every block boundary it crosses.
std::string ConfigOfSize(std::size_t size) {
  const std::string head = R"({"ChatCommands":[{"Command":"/a","Type":"ClientChat","Reply":")";
  const std::string tail = R"("}]})";
  std::string reply;
  while (head.size() + reply.size() + tail.size() + 2 <= size) {
    reply += "\xC3\xA9";  // é
  }
  if (head.size() + reply.size() + tail.size() < size) {
    reply += "x";
  }
  return head + reply + tail;
}

using LargeConfigTest = PluginTest;

TEST_F(LargeConfigTest, FilesAroundBlockBoundariesLoadWhole) {
  for (const std::size_t size : {kBlock - 1, kBlock, kBlock + 1, 3 * kBlock, 3 * kBlock + 7}) {
    const std::string text = ConfigOfSize(size);
    ASSERT_EQ(text.size(), size);
    server_.WriteConfig(text);
    LoadConfig();
    EXPECT_EQ(ConfigDocument, json::parse(text)) << size << " bytes";
  }
}

TEST_F(LargeConfigTest, ByteOrderMarkBeforeABlockSizedFileIsStillSkipped) {
  const std::string text = ConfigOfSize(kBlock - 3);
  server_.WriteConfig("\xEF\xBB\xBF" + text);
  LoadConfig();
  EXPECT_EQ(ConfigDocument, json::parse(text));
}

}  // namespace
