// --init's judgement of what stands at a file's place when something appears there while the
// copy is made: the same as when it stood there before.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "devhost/init/InitSeams.h"
#include "devhost/init/InitServer.h"
#include "tests/support/ServerFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(InitServerTest, WhatAppearsBeforeTheMoveIsJudgedAsWhatStoodBefore) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> appear;
    int status;
    const char* said;  // on the report, or in the error stream when the status is 1
  } cases[] = {
#if !defined(_WIN32)  // links need a privilege on Windows, and moves onto folders fail apart
    {"dangling link", [](const fs::path& at) { fs::create_symlink("nowhere.json", at); }, 1,
     "config.json is a link to a missing file, which the plugin cannot read"},
    {"folder", [](const fs::path& at) { fs::create_directory(at); }, 1,
     "config.json is a folder, not a file"},
#endif
    {"file", [](const fs::path& at) { std::ofstream(at) << "{}"; }, 0,
     "config.json: a file is already there (not overwritten)"},
  };
  for (const auto& c : cases) {
    test_support::ServerFolder server;
    devhost::SetBeforePlacing([&](const fs::path& target) {
      if (target.filename() == "config.json") {
        c.appear(target);
      }
    });
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = devhost::InitServer(
        {server.Path(), fs::path(QUORVANE_EXAMPLES_DIR), "devhost", false, false}, out, err);
    devhost::SetBeforePlacing(nullptr);
    std::string said;
    std::FILE* stream = status == 0 ? out : err;
    std::rewind(stream);
    for (int ch; (ch = std::fgetc(stream)) != EOF;) {
      said += static_cast<char>(ch);
    }
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(status, c.status) << c.name;
    EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
    // Nothing of the copy is left beside it.
    for (const auto& item : fs::directory_iterator(server.ConfigPath().parent_path())) {
      EXPECT_EQ(item.path().filename().string().rfind(".config", 0), std::string::npos)
          << c.name << ": " << item.path();
    }
  }
}

}  // namespace
