#pragma once
// For unit tests that call the plugin's code directly: a fresh host (HostTest) plus the
// plugin's process-wide state back to how a freshly loaded library has it.

#include <nlohmann/json.hpp>

#include "config/ConfigDocument.h"
#include "plugin/PluginLogger.h"
#include "tests/support/TestSupport.h"

namespace test_support {

class PluginTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    quorvane::ConfigDocument = nullptr;
    quorvane::PluginLogger().reset();
  }
  void TearDown() override {
    quorvane::ConfigDocument = nullptr;
    quorvane::PluginLogger().reset();
    HostTest::TearDown();
  }
};

}  // namespace test_support
