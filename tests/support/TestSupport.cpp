#include "tests/support/TestSupport.h"

#include "devhost/host/LogSinks.h"
#include "devhost/present/MessageText.h"
#include "devhost/text/Text.h"

namespace test_support {

std::shared_ptr<spdlog::sinks::sink> CapturedLines::MakeSink() {
  return devhost::MakeLineSink([this](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  });
}

std::vector<std::string> CapturedLines::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

void CapturedLines::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

void HostTest::SetUp() {
  host().Reset();
  host().SetServerDir(server_.Path());
  host().SetSinks({log_.MakeSink()});
  live_blocks_before_ = LiveBlocks();
}

void HostTest::TearDown() {
  EXPECT_EQ(LiveBlocks(), live_blocks_before_) << "game allocator blocks left live";
  host().Reset();
}

std::string Utf8(const std::u16string& units) {
  return devhost::Utf16ToUtf8(units);
}

std::string FloatsText(std::initializer_list<float> values) {
  std::string text = "(";
  for (const float value : values) {
    text.append(text.size() > 1 ? ", " : "").append(devhost::FloatText(value));
  }
  return text + ")";
}

}  // namespace test_support
