#pragma once
// Helpers shared by the tests: a temporary server folder, the host's log lines captured, and
// a fixture that gives every test a fresh development host and checks the game allocator.

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devhost/host/Host.h"
#include "tests/support/ServerFolder.h"

namespace test_support {

// Collects every line written through a sink, formatted, without line ends.
class CapturedLines {
 public:
  std::shared_ptr<spdlog::sinks::sink> MakeSink();
  std::vector<std::string> Lines() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

// A fresh host whose working directory is a new server folder and whose only sink captures
// log lines. After each test the game allocator holds no more blocks than before it.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  devhost::Host& host() { return devhost::Host::Instance(); }
  AShooterPlayerController& Player(const std::string& name = "alice") {
    return host().Player(name);
  }
  std::vector<std::string> LogLines() const { return log_.Lines(); }
  std::size_t LiveBlocks() { return host().Allocator().Stats().live_blocks; }

  ServerFolder server_;
  CapturedLines log_;

 private:
  std::size_t live_blocks_before_ = 0;
};

// The text of a player's screen messages, as UTF-8.
std::string Utf8(const std::u16string& units);

// Floats in their shortest exact form: "(R, G, B, A)".
std::string FloatsText(std::initializer_list<float> values);

}  // namespace test_support
