#include "devhost/init/InitServer.h"

#include <cerrno>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/ConfigFile.h"
#include "devhost/findings/ConfigCheck.h"
#include "devhost/init/InitSeams.h"
#include "devhost/os/SystemCalls.h"
#include "devhost/text/EnumTable.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/JsonLines.h"
#include "devhost/present/Output.h"
#include "devhost/present/ReportText.h"
#include "plugin/ReloadCommandName.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// A file made for an operator gets what their other new files get: 0644 less the umask.
constexpr int kStarterMode = 0644;

struct Placement {
  enum class Result { Copied, Kept, Replaced, Failed };
  Result result = Result::Failed;
  std::string text;             // Kept, Failed: why
  std::optional<bool> differs;  // a schema kept: whether it differs from the toolkit's
};

// Each result's word, for programs and, padded, for people.
struct ResultWord {
  Placement::Result value;
  const char* word;
};
constexpr ResultWord kResults[] = {
    {Placement::Result::Copied, "copied"},
    {Placement::Result::Kept, "kept"},
    {Placement::Result::Replaced, "replaced"},
    {Placement::Result::Failed, "failed"},
};
static_assert(InEnumOrder(kResults));
constexpr std::size_t kResultWidth = sizeof "replaced";  // the longest word and a blank

std::function<void(const fs::path&)>& BeforePlacing() {
  static std::function<void(const fs::path&)> hook;
  return hook;
}

// What the operator is told stands where a file should be.
constexpr std::pair<fs::file_type, const char*> kFileKinds[] = {
    {fs::file_type::directory, "a folder"}, {fs::file_type::fifo, "a FIFO"},
    {fs::file_type::block, "a device"},     {fs::file_type::character, "a device"},
    {fs::file_type::socket, "a socket"},
};

std::string KindOf(fs::file_type type) {
  for (const auto& [kind, words] : kFileKinds) {
    if (kind == type) {
      return words;
    }
  }
  return "not a regular file";
}

// What stands at `target` that the plugin cannot read as its file, if anything.
std::optional<std::string> Unusable(const fs::path& target, const fs::file_status& own) {
  if (fs::is_symlink(own)) {
    std::error_code error;
    const fs::file_status followed = fs::status(target, error);
    if (!fs::exists(followed)) {
      return std::string("a link to a missing file");
    }
    if (!fs::is_regular_file(followed)) {
      return "a link to " + KindOf(followed.type()) + ", not to a regular file";
    }
    return std::nullopt;
  }
  if (fs::is_regular_file(own)) {
    return std::nullopt;
  }
  return fs::is_directory(own) ? std::string("a folder, not a file")
                               : KindOf(own.type()) + ", not a regular file";
}

// What stands at `target`, judged by the test that names what the plugin cannot read: Kept
// for a file the plugin can read, Failed for anything else; nothing when the name is free. A
// link, even a dangling one, is the operator's: symlink_status does not follow it.
std::optional<Placement> WhatStands(const fs::path& target) {
  std::error_code error;
  const fs::file_status existing = fs::symlink_status(target, error);
  if (!fs::exists(existing) && !fs::is_symlink(existing)) {
    return std::nullopt;
  }
  if (const std::optional<std::string> what = Unusable(target, existing)) {
    return Placement{Placement::Result::Failed,
                     target.u8string() + " is " + *what +
                         ", which the plugin cannot read; remove it or put a file there yourself",
                     std::nullopt};
  }
  return Placement{Placement::Result::Kept, "a file is already there (not overwritten)",
                   std::nullopt};
}

// The whole content of `path`, or nothing when it cannot be read.
std::optional<std::string> Content(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    return std::nullopt;
  }
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy beside its place, removed by a signal that ends the program before it is placed.
struct Copy {
  fs::path path;  // empty when it could not be made
  std::unique_ptr<RemovedOnSignal> removed_on_signal;
};

// Copies `source` to a new file beside `target`; without a path, with `failure` set, when it
// cannot. A copy that fails part-way leaves nothing.
Copy CopyBeside(const fs::path& source, const fs::path& target, std::string& failure) {
  errno = 0;
  std::ifstream in(source, std::ios::binary);
  if (!in.is_open()) {
    failure = "cannot read " + source.u8string() + ": " + SystemReason(errno, "a read failed");
    return {};
  }
  NewFile copy = CreateFileBeside(target, kStarterMode);
  if (copy.stream == nullptr) {
    failure =
        "cannot create a file in " + target.parent_path().u8string() + ": " + copy.error.message();
    return {};
  }
  Copy made{copy.path, std::make_unique<RemovedOnSignal>(std::vector<fs::path>{copy.path})};
  char block[16384];
  bool ok = true;
  errno = 0;
  while (ok && (in.read(block, sizeof block) || in.gcount() > 0)) {
    const auto n = static_cast<std::size_t>(in.gcount());
    ok = std::fwrite(block, 1, n, copy.stream) == n;
  }
  ok = ok && !in.bad() && std::fflush(copy.stream) == 0;
  int code = errno;
  errno = 0;
  ok = std::fclose(copy.stream) == 0 && ok;
  if (code == 0) {
    code = errno;
  }
  if (!ok) {
    std::error_code ignored;
    fs::remove(copy.path, ignored);
    failure = "cannot copy " + source.u8string() + " to " + target.u8string() + ": " +
              SystemReason(code, "a write failed");
    return {};
  }
  return made;
}

// Puts a copy of `source` at `target` when nothing stands there; with `replace`, over a
// regular file there too, but never over or through a link.
Placement PlaceStarterFile(const fs::path& source, const fs::path& target, bool replace) {
  const std::optional<Placement> standing = WhatStands(target);
  const bool replacing = standing && replace && standing->result == Placement::Result::Kept;
  if (standing && !replacing) {
    return *standing;
  }
  std::error_code error;
  if (replacing && fs::is_symlink(fs::symlink_status(target, error))) {
    return {Placement::Result::Failed,
            target.u8string() +
                " is a symbolic link, which --update-schema neither writes through nor replaces; "
                "remove it and run again, or update the file it leads to yourself",
            std::nullopt};
  }
  if (!fs::is_regular_file(source, error)) {
    return {Placement::Result::Failed,
            "the starter file " + source.u8string() + " is missing; unpack the toolkit again",
            std::nullopt};
  }
  fs::create_directories(target.parent_path(), error);
  if (error) {
    return {Placement::Result::Failed,
            "cannot create " + target.parent_path().u8string() + ": " + error.message(),
            std::nullopt};
  }
  std::string failure;
  const Copy copy = CopyBeside(source, target, failure);
  if (copy.path.empty()) {
    return {Placement::Result::Failed, failure, std::nullopt};
  }
  if (BeforePlacing()) {
    BeforePlacing()(target);
  }
  // Replacing is one rename, which puts the file itself in place of whatever has the name,
  // link or FIFO, and never writes through it. Otherwise never over a file that appeared since
  // the look above: what stands there now is judged as the look judges it.
  error = replacing ? (fs::rename(copy.path, target, error), error)
                    : MoveWithoutReplacing(copy.path, target);
  if (error) {
    std::error_code ignored;
    fs::remove(copy.path, ignored);
    if (!replacing && error == std::errc::file_exists) {
      if (std::optional<Placement> appeared = WhatStands(target)) {
        return *appeared;
      }
    }
    return {Placement::Result::Failed,
            "cannot put the copy in place as " + target.u8string() + ": " + error.message(),
            std::nullopt};
  }
  return {replacing ? Placement::Result::Replaced : Placement::Result::Copied, "", std::nullopt};
}

// A path or command word as a shell takes it, quoted when it holds more than plain characters.
std::string ShellWord(const std::string& text) {
  constexpr const char* kPlain =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-./:\\+,@=";
  return !text.empty() && text.find_first_not_of(kPlain) == std::string::npos ? text
                                                                              : "\"" + text + "\"";
}

// The folder a server folder holds its plugins under: "ArkApi".
fs::path ArkApiFolder() {
  return *fs::path(std::string(quorvane::kConfigFileInServer)).begin();
}

// What the operator does after --init: edit the file, check it, reload it on the server; and,
// when the folder had no ArkApi/ yet, which folder the server folder is.
void PutNextSteps(const InitRequest& request, const fs::path& config, bool had_arkapi,
                  std::FILE* out) {
  const std::string arkapi = ArkApiFolder().u8string() + "/";
  const std::string check =
      ShellWord(request.program) + " --check --server-dir " + ShellWord(request.server_dir);
  const std::string no_arkapi = "There was no " + arkapi + " folder in " + request.server_dir +
                                " before. The server folder is the host's working directory, " +
                                "the folder that holds its " + arkapi +
                                " folder beside the host's version.dll; if that is another "
                                "folder, run --init there.";
  if (request.json) {
    json line = {{"finding", "next_steps"},
                 {"edit", config.u8string()},
                 {"check", check},
                 {"reload", quorvane::kReloadCommandName},
                 {"had_arkapi", had_arkapi}};
    if (!had_arkapi) {
      line["note"] = no_arkapi;
    }
    PutJson(out, line);
    return;
  }
  PutLine(out, "");
  if (!had_arkapi) {
    PutLine(out, no_arkapi);
  }
  PutLine(out, "Next steps:");
  PutLine(out, "  1. Edit " + config.u8string() +
                   " (an editor that reads JSON Schema checks it against config.schema.json)");
  PutLine(out, "  2. Check it: " + check);
  PutLine(out, std::string("  3. On the running server, reload it with the console command ") +
                   quorvane::kReloadCommandName);
}

}  // namespace

void SetBeforePlacing(std::function<void(const fs::path& target)> hook) {
  BeforePlacing() = std::move(hook);
}

int InitServer(const InitRequest& request, std::FILE* out, std::FILE* err) {
  const fs::path config = ConfigPathOf(request.server_dir);
  const fs::path schema = config.parent_path() / "config.schema.json";
  std::error_code ignored;
  const bool had_arkapi = fs::exists(fs::path(request.server_dir) / ArkApiFolder(), ignored);
  bool placed = true;
  for (const auto& [source, target] :
       {std::pair{request.starter_dir / "config.json", config},
        std::pair{request.starter_dir / "config.schema.json", schema}}) {
    const bool is_schema = target == schema;
    Placement placement = PlaceStarterFile(source, target, is_schema && request.update_schema);
    if (is_schema && placement.result == Placement::Result::Kept) {
      const std::optional<std::string> theirs = Content(target);
      const std::optional<std::string> ours = Content(source);
      if (theirs && ours) {
        placement.differs = *theirs != *ours;
      }
      if (placement.differs.value_or(false)) {
        placement.text += "; it differs from this toolkit's " + source.u8string() +
                          ", so editors may check against an older schema: run --init "
                          "--update-schema to replace it";
      }
    }
    placed &= placement.result != Placement::Result::Failed;
    const std::string result = RowOf(kResults, placement.result).word;
    if (request.json) {
      json line = {{"finding", "starter_file"}, {"file", target.u8string()}, {"result", result}};
      switch (placement.result) {
        case Placement::Result::Copied:
        case Placement::Result::Replaced:
          line["from"] = source.u8string();
          break;
        case Placement::Result::Kept:
          line["reason"] = placement.text;
          if (placement.differs) {
            line["differs"] = *placement.differs;
          }
          break;
        case Placement::Result::Failed:
          line["error"] = placement.text;
          break;
      }
      PutJson(out, line);
      continue;
    }
    switch (placement.result) {
      case Placement::Result::Copied:
      case Placement::Result::Replaced:
        PutLine(out, Padded(result, kResultWidth) + target.u8string() + " (from " +
                         source.u8string() + ")");
        break;
      case Placement::Result::Kept:
        PutLine(out, Padded(result, kResultWidth) + target.u8string() + ": " + placement.text);
        break;
      case Placement::Result::Failed:
        PutLine(err, "devhost --init: " + placement.text);
        break;
    }
  }
  if (placed) {
    PutNextSteps(request, config, had_arkapi, out);
  }
  const int status = placed ? kExitOk : kExitFindings;
  if (request.json) {
    PutJson(out, {{"finding", "summary"}, {"exit_status", status}});
  }
  Flush(out);
  return status;
}

}  // namespace devhost
