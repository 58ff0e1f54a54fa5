#include "plugin/StartPlugin.h"

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/sink.h>

#include "bridge/HostApi.h"
#include "devhost/host/LogSinks.h"
#include "devhost/text/Text.h"
#include "plugin/PluginLogger.h"
#include "tests/support/LogTime.h"
#include "tests/support/PluginTest.h"

using quorvane::ConfigDocument;
using quorvane::PluginLogger;
using quorvane::StartPlugin;

namespace {

using test_support::LogTime;
using test_support::PluginTest;
using test_support::WithoutTime;

using StartPluginTest = PluginTest;

std::vector<std::string> Utf8Names(const std::vector<std::u16string>& names) {
  std::vector<std::string> result;
  for (const auto& name : names) {
    result.push_back(devhost::Utf16ToUtf8(name));
  }
  return result;
}

TEST_F(StartPluginTest, MissingConfigLogsOneErrorLineRethrowsAndRegistersNothing) {
  try {
    StartPlugin();
    FAIL() << "StartPlugin should have thrown";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Can't open config.json");
  }
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(WithoutTime(lines[0], LogTime::Plugin), "[Quorvane][error] Can't open config.json");
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_TRUE(host().Registry().ConsoleNames().empty());
  EXPECT_TRUE(ConfigDocument.is_null());
}

// Counts what reaches it, as a host's file sink would be flushed.
class CountingSink final : public spdlog::sinks::sink {
 public:
  void log(const spdlog::details::log_msg&) override { ++logged; }
  void flush() override { ++flushed; }
  int logged = 0;
  int flushed = 0;
};

TEST_F(StartPluginTest, LoggerSharesTheHostSinksAsTheyWereAtStart) {
  const auto counting = std::make_shared<CountingSink>();
  host().Sinks().push_back(counting);
  server_.WriteConfig(R"({"ChatCommands":[]})");
  StartPlugin();
  const auto logger = PluginLogger();
  ASSERT_TRUE(logger);
  EXPECT_EQ(logger->name(), "Quorvane");
  EXPECT_EQ(logger->sinks(), host().Sinks());
  logger->info("flushed at once");
  EXPECT_EQ(counting->logged, 1);
  EXPECT_EQ(counting->flushed, 1) << "the flush level is info";
  host().Sinks().push_back(devhost::MakeLineSink([](const std::string&) {}));
  EXPECT_EQ(logger->sinks().size(), 2u) << "sinks added later are not seen";
}

TEST_F(StartPluginTest, HostLinesKeepTheHostsFormatInTheSharedSinks) {
  server_.WriteConfig("{");
  EXPECT_THROW(StartPlugin(), std::exception);
  static_cast<void>(GetAddress("FMemory.Malloc"));  // a host warning, after Quorvane's pattern
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(WithoutTime(lines[0], LogTime::Plugin),
            "[Quorvane][error] [json.exception.parse_error.101] parse error at 2: syntax error - "
            "unexpected end of input; expected string literal");
  EXPECT_EQ(WithoutTime(lines[1], LogTime::Host),
            "[devhost][warning] GetAddress: no game function named \"FMemory.Malloc\"");
}

TEST_F(StartPluginTest, EmptySinkListStillStarts) {
  host().SetSinks({});
  server_.WriteConfig(R"({"ChatCommands":[{"Command":"/a"}]})");
  StartPlugin();
  EXPECT_TRUE(PluginLogger()->sinks().empty());
  EXPECT_EQ(Utf8Names(host().Registry().ChatNames()), std::vector<std::string>{"/a"});

  server_.RemoveConfig();
  EXPECT_THROW(StartPlugin(), std::runtime_error) << "logging to no sink must not get in the way";
}

TEST_F(StartPluginTest, RegistersChatCommandsThenReloadOrStopsUnloggedOnABadEntry) {
  server_.WriteConfig("{}");
  StartPlugin();
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_EQ(Utf8Names(host().Registry().ConsoleNames()),
            std::vector<std::string>{"Quorvane.Reload"});

  host().Registry().Clear();
  server_.WriteConfig(R"({"ChatCommands":[{"Command":"/a"},{"Command":1}]})");
  EXPECT_THROW(StartPlugin(), nlohmann::detail::type_error);
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_TRUE(host().Registry().ConsoleNames().empty());
  EXPECT_TRUE(LogLines().empty());
}

}  // namespace
