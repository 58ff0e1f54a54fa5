// The plugin library's entry point as the platform's loader drives it. On Windows the real
// loader calls DllMain from LoadLibrary, FreeLibrary and thread start and exit; on Linux the
// host calls the exported function and expects a failed start to arrive as an exception.

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devhost/host/PluginLoader.h"
#include "plugin/EntryPoint.h"
#include "tests/support/LogTime.h"
#include "tests/support/TestSupport.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#else
#include <dlfcn.h>
#endif

namespace {

using test_support::HostTest;
using Names = std::vector<std::u16string>;

constexpr const char* kTwoCommands = R"({"ChatCommands":[
  {"Command":"/rules","Type":"ServerChat","Reply":"No building.","Color":[1,0.5,0,1]},
  {"Command":"/help","Type":"ClientChat","Reply":"Ask an admin"}]})";
// The second entry fails registration after the first has been registered.
constexpr const char* kBadSecondCommand = R"({"ChatCommands":[
  {"Command":"/rules","Type":"ClientChat","Reply":"ok"},
  {"Command":5,"Type":"ClientChat","Reply":"never"}]})";

// A line of the plugin's logger: "MM/DD/YY HH:MM [Quorvane][error] " and the message.
bool IsPluginLine(const std::string& line, const std::string& message) {
  return test_support::WithoutTime(line, test_support::LogTime::Plugin) ==
         "[Quorvane][error] " + message;
}

constexpr const char* kTypeError =
    "[json.exception.type_error.302] type must be string, but is number";

class EntryPointTest : public HostTest {
 protected:
  Names ChatNames() { return host().Registry().ChatNames(); }
  Names ConsoleNames() { return host().Registry().ConsoleNames(); }
  std::vector<std::string> PluginLines() {
    std::vector<std::string> lines;
    for (const auto& line : LogLines()) {
      if (line.find("[Quorvane]") != std::string::npos) {
        lines.push_back(line);
      }
    }
    return lines;
  }
};

#if defined(_WIN32)

class WindowsEntryPointTest : public EntryPointTest {
 protected:
  static std::wstring PluginPath() {
    return std::filesystem::u8path(QUORVANE_PLUGIN_PATH).make_preferred().wstring();
  }
  static bool PluginMapped() { return GetModuleHandleW(L"Quorvane.dll") != nullptr; }
  static const std::string& Owner() {
    static const std::string owner = "loaded directly";
    return owner;
  }
};

TEST_F(WindowsEntryPointTest, LoaderStartsOnProcessAttachAndNothingElseActs) {
  server_.WriteConfig(kTwoCommands);
  host().Registry().SetOwner(Owner());
  HMODULE module = LoadLibraryW(PluginPath().c_str());
  ASSERT_NE(module, nullptr) << "error " << GetLastError();
  host().Registry().SetOwner({});
  const Names chat = {u"/rules", u"/help"};
  ASSERT_EQ(ChatNames(), chat);
  ASSERT_EQ(ConsoleNames(), Names{u"Quorvane.Reload"});
  const std::size_t blocks = LiveBlocks();

  // A new thread brings DLL_THREAD_ATTACH and DLL_THREAD_DETACH from the loader; neither they
  // nor the same codes passed to the entry point directly change anything.
  std::thread([] {}).join();
  const auto entry = reinterpret_cast<BOOL(WINAPI*)(HMODULE, DWORD, LPVOID)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllMain")));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(module, DLL_THREAD_ATTACH, nullptr), TRUE);
  EXPECT_EQ(entry(module, DLL_THREAD_DETACH, nullptr), TRUE);
  EXPECT_EQ(ChatNames(), chat);
  EXPECT_EQ(ConsoleNames(), Names{u"Quorvane.Reload"});
  EXPECT_EQ(LiveBlocks(), blocks);
  EXPECT_TRUE(LogLines().empty());

  // Callbacks still answer, also from a thread the plugin has never seen.
  std::thread([&] {
    EXPECT_EQ(host().DispatchChat(&Player(), "/help").status,
              devhost::DispatchResult::Status::Done);
  }).join();
  ASSERT_EQ(Player().Screen().size(), 1u);
  EXPECT_EQ(Player().Screen()[0].text, u"Ask an admin");

  // Process detach withdraws nothing and logs nothing; the library really goes away.
  EXPECT_EQ(FreeLibrary(module), TRUE);
  EXPECT_FALSE(PluginMapped());
  EXPECT_EQ(ChatNames(), chat);
  EXPECT_TRUE(LogLines().empty());
  host().Registry().Abandon(Owner());
}

TEST_F(WindowsEntryPointTest, MissingConfigFailsLoadLibraryWithOneLogLine) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(PluginPath().c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
  EXPECT_FALSE(PluginMapped());
  // StartPlugin logged it; the entry point does not log it again.
  const auto lines = PluginLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsPluginLine(lines[0], "Can't open config.json")) << lines[0];
  EXPECT_TRUE(ChatNames().empty());
  EXPECT_TRUE(ConsoleNames().empty());
}

TEST_F(WindowsEntryPointTest, RegistrationFailureIsLoggedOnceAndTheHostGoesOn) {
  server_.WriteConfig(kBadSecondCommand);
  devhost::StartReport report;
  EXPECT_EQ(devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report), nullptr);
  EXPECT_FALSE(report.ok);
  EXPECT_NE(report.error.find("entry point returned FALSE"), std::string::npos) << report.error;
  // Nothing was registered before the failure, so no callback outlives the library's code.
  EXPECT_TRUE(report.chat_commands.empty());
  EXPECT_TRUE(ChatNames().empty());
  EXPECT_FALSE(PluginMapped());
  const auto lines = PluginLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsPluginLine(lines[0], kTypeError)) << lines[0];
  EXPECT_NE(LogLines().back().find("plugin failed to start: "), std::string::npos);

  // The same host loads the plugin once the file is mended.
  server_.WriteConfig(kTwoCommands);
  auto plugin = devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report);
  ASSERT_NE(plugin, nullptr) << report.error;
  EXPECT_EQ(host().DispatchChat(&Player(), "/rules").status, devhost::DispatchResult::Status::Done);
  plugin.reset();
  EXPECT_FALSE(PluginMapped());
}

#else

using Entry = BOOL (*)(HMODULE, DWORD, LPVOID);

// The library opened as the host opens it, without running its entry point.
class LinuxEntryPointTest : public EntryPointTest {
 protected:
  void SetUp() override {
    EntryPointTest::SetUp();
    handle_ = dlopen(QUORVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    entry_ = reinterpret_cast<Entry>(dlsym(handle_, "DllMain"));
    ASSERT_NE(entry_, nullptr);
  }
  void TearDown() override {
    if (handle_ != nullptr) {
      host().Registry().Clear();
      dlclose(handle_);
    }
    EntryPointTest::TearDown();
  }
  BOOL Call(DWORD reason) { return entry_(handle_, reason, nullptr); }

  void* handle_ = nullptr;
  Entry entry_ = nullptr;
};

TEST_F(LinuxEntryPointTest, FailedStartLeavesTheEntryPointForTheHostToHandle) {
  try {
    Call(DLL_PROCESS_ATTACH);
    FAIL() << "the start failure was swallowed";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Can't open config.json");
  }
  const auto lines = PluginLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(IsPluginLine(lines[0], "Can't open config.json")) << lines[0];

  server_.WriteConfig(kBadSecondCommand);
  log_.Clear();
  try {
    Call(DLL_PROCESS_ATTACH);
    FAIL() << "the registration failure was swallowed";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), kTypeError);
  }
  // Registration failures are the host's to report: the plugin logs nothing, and registers
  // nothing either.
  EXPECT_TRUE(PluginLines().empty());
  EXPECT_TRUE(ChatNames().empty());
}

#endif

}  // namespace
