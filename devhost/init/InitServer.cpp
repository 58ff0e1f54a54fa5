#include "devhost/init/InitServer.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include <nlohmann/json.hpp>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/os/SystemCalls.h"
#include "devhost/text/EnumTable.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/JsonLines.h"
#include "devhost/present/Output.h"
#include "devhost/present/ReportText.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// A file made for an operator gets what their other new files get: 0644 less the umask.
constexpr int kStarterMode = 0644;

struct Placement {
  enum class Result { Copied, Kept, Failed };
  Result result = Result::Failed;
  std::string text;  // Kept, Failed: why
};

// Each result's word, for programs and, padded, for people.
struct ResultWord {
  Placement::Result value;
  const char* word;
};
constexpr ResultWord kResults[] = {
    {Placement::Result::Copied, "copied"},
    {Placement::Result::Kept, "kept"},
    {Placement::Result::Failed, "failed"},
};
static_assert(InEnumOrder(kResults));

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

// Copies `source` to a new file beside `target`; its path, or empty with `failure` set. A
// copy that fails part-way leaves nothing.
fs::path CopyBeside(const fs::path& source, const fs::path& target, std::string& failure) {
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
  return copy.path;
}

Placement PlaceStarterFile(const fs::path& source, const fs::path& target) {
  std::error_code error;
  // A link, even a dangling one, is the operator's: symlink_status does not follow it.
  const fs::file_status existing = fs::symlink_status(target, error);
  if (fs::exists(existing) || fs::is_symlink(existing)) {
    if (const std::optional<std::string> what = Unusable(target, existing)) {
      return {Placement::Result::Failed,
              target.u8string() + " is " + *what +
                  ", which the plugin cannot read; remove it or put a file there yourself"};
    }
    return {Placement::Result::Kept, "a file is already there (not overwritten)"};
  }
  if (!fs::is_regular_file(source, error)) {
    return {Placement::Result::Failed,
            "the starter file " + source.u8string() + " is missing; unpack the toolkit again"};
  }
  fs::create_directories(target.parent_path(), error);
  if (error) {
    return {Placement::Result::Failed,
            "cannot create " + target.parent_path().u8string() + ": " + error.message()};
  }
  std::string failure;
  const fs::path copy = CopyBeside(source, target, failure);
  if (copy.empty()) {
    return {Placement::Result::Failed, failure};
  }
  // Never over a file that appeared since the look above.
  error = MoveWithoutReplacing(copy, target);
  if (error) {
    std::error_code ignored;
    fs::remove(copy, ignored);
    if (error == std::errc::file_exists) {
      return {Placement::Result::Kept, "a file is already there (not overwritten)"};
    }
    return {Placement::Result::Failed,
            "cannot put the copy in place as " + target.u8string() + ": " + error.message()};
  }
  return {Placement::Result::Copied, ""};
}

}  // namespace

int InitServer(const std::string& server_dir, const fs::path& starter_dir, bool json_output,
               std::FILE* out, std::FILE* err) {
  const fs::path config = ConfigPathOf(server_dir);
  bool placed = true;
  for (const auto& [source, target] : {std::pair{starter_dir / "config.json", config},
                                       std::pair{starter_dir / "config.schema.json",
                                                 config.parent_path() / "config.schema.json"}}) {
    const Placement placement = PlaceStarterFile(source, target);
    placed &= placement.result != Placement::Result::Failed;
    const std::string result = RowOf(kResults, placement.result).word;
    if (json_output) {
      json line = {{"finding", "starter_file"}, {"file", target.u8string()}, {"result", result}};
      switch (placement.result) {
        case Placement::Result::Copied:
          line["from"] = source.u8string();
          break;
        case Placement::Result::Kept:
          line["reason"] = placement.text;
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
        PutLine(out, Padded(result, 8) + target.u8string() + " (from " + source.u8string() + ")");
        break;
      case Placement::Result::Kept:
        PutLine(out, Padded(result, 8) + target.u8string() + ": " + placement.text);
        break;
      case Placement::Result::Failed:
        PutLine(err, "devhost --init: " + placement.text);
        break;
    }
  }
  const int status = placed ? kExitOk : kExitFindings;
  if (json_output) {
    PutJson(out, {{"finding", "summary"}, {"exit_status", status}});
  }
  Flush(out);
  return status;
}

}  // namespace devhost
