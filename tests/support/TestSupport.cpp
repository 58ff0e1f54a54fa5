#include "tests/support/TestSupport.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <atomic>
#include <fstream>
#include <random>

#include "devhost/lib/LineSink.h"
#include "devhost/lib/Text.h"

namespace test_support {

ServerFolder::ServerFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() /
          ("quorvane-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(root_);
}

ServerFolder::~ServerFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path ServerFolder::ConfigPath() const {
  return root_ / "ArkApi" / "Plugins" / "Quorvane" / "config.json";
}

void ServerFolder::WriteConfig(std::string_view bytes) const {
  std::error_code ignored;
  if (std::filesystem::is_fifo(ConfigPath(), ignored)) {
    RemoveConfig();  // writing would wait for a reader
  }
  std::filesystem::create_directories(ConfigPath().parent_path());
  std::ofstream file(ConfigPath(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ServerFolder::RemoveConfig() const {
  std::error_code ignored;
  std::filesystem::remove(ConfigPath(), ignored);
}

#if !defined(_WIN32)
void ServerFolder::MakeConfigFifo() const {
  RemoveConfig();
  std::filesystem::create_directories(ConfigPath().parent_path());
  ASSERT_EQ(mkfifo(ConfigPath().c_str(), 0600), 0) << ConfigPath();
}
#endif

std::shared_ptr<spdlog::sinks::sink> CapturedLines::MakeSink() {
  return std::make_shared<devhost::LineSink>([this](const std::string& line) {
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

}  // namespace test_support
