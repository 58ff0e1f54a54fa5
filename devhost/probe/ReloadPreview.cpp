#include "devhost/probe/ReloadPreview.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/ConfigFile.h"
#include "devhost/findings/ConfigCheck.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/host/Host.h"
#include "devhost/host/LogSinks.h"
#include "devhost/os/SystemCalls.h"
#include "devhost/present/ReportText.h"
#include "devhost/probe/ProbeExplanation.h"
#include "devhost/text/Text.h"
#include "plugin/ReloadCommandName.h"

using quorvane::ConfigFileRead;
using quorvane::kReloadCommandName;
using quorvane::OpenConfigFile;

namespace devhost {
namespace {

namespace fs = std::filesystem;

// The copies' names in the scratch folder, beside its ArkApi/.
constexpr const char* kOldCopy = "old.json";
constexpr const char* kCurrentCopy = "current.json";

// A file's copy in the scratch folder, byte for byte, and the mode it was made with.
struct ConfigCopy {
  fs::path path;
  fs::perms mode = fs::perms::owner_read;
};

// A file to copy, opened only when it is one the plugin would open (a regular file), in binary
// mode: the copy holds the stored bytes, which the plugin then reads as it reads the original.
struct Source {
  fs::path path;
  std::ifstream stream;
  fs::perms mode = fs::perms::owner_read;
};

// Where a preview cannot go on: the scratch folder cannot be used.
struct PreviewStopped {
  Finding why;
};

// The scratch folder's `action` ("create_under", "create", "write") on `path` failed.
PreviewStopped ScratchFailed(const char* action, const fs::path& path,
                             const std::error_code& error) {
  Finding finding = FindingOf(kScratchFolder);
  finding.With("action", action)
      .With("path", path.generic_string())
      .With("reason", error.message());
  return {std::move(finding)};
}

// A server folder of our own under the system's temporary folder, that only this user can
// enter, removed at the end or when an ending signal ends the program.
class ScratchServer {
 public:
  ScratchServer() {
    const fs::path temporary = TemporaryFolder();
    std::error_code error;
    root_ = CreatePrivateFolder(temporary, "quorvane-reload-", error);
    if (error) {
      throw ScratchFailed("create_under", temporary, error);
    }
    const fs::path config = ConfigPathOf(root_.string());
    std::vector<fs::path> made = {config, root_ / kOldCopy, root_ / kCurrentCopy};
    for (fs::path folder = config.parent_path(); folder != root_; folder = folder.parent_path()) {
      made.push_back(folder);
    }
    made.push_back(root_);
    removed_on_signal_ = std::make_unique<RemovedOnSignal>(made);
    fs::create_directories(config.parent_path(), error);
    if (error) {
      throw ScratchFailed("create", config.parent_path(), error);
    }
  }
  ScratchServer(const ScratchServer&) = delete;
  ScratchServer& operator=(const ScratchServer&) = delete;
  ~ScratchServer() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  std::string Path() const { return root_.string(); }
  // Copies `source` into the scratch folder as `name`, in blocks: a long file never sits in
  // memory. Why reading fails, if it does; writing failures stop the preview.
  ConfigCopy Keep(Source& source, const char* name, std::optional<Finding>& read_error) const {
    ConfigCopy copy{root_ / name, (source.mode & fs::perms::owner_write) | fs::perms::owner_read};
    // No wider than the original's from the moment it exists: only its owner's write, if the
    // original has it, and read, which the plugin needs.
    NewFile file = CreateNewFile(copy.path, static_cast<int>(copy.mode));
    std::error_code error = file.error;
    if (file.stream != nullptr) {
      source.stream.exceptions(std::ios::badbit);
      std::vector<char> block(1 << 16);
      bool written = true;
      int code = 0;
      try {
        while (written &&
               (source.stream.read(block.data(), static_cast<std::streamsize>(block.size())) ||
                source.stream.gcount() > 0)) {
          const auto size = static_cast<std::size_t>(source.stream.gcount());
          errno = 0;
          written = std::fwrite(block.data(), 1, size, file.stream) == size;
          code = errno;
        }
      } catch (const std::ios_base::failure& failure) {
        // A read that fails is no syntax error: the system says why.
        read_error = FindingOf(kFileUnreadable);
        read_error->With("path", source.path.generic_string())
            .With("reason", failure.code().message())
            .With("read", "1");
      }
      errno = 0;
      written = written && std::fflush(file.stream) == 0;
      code = code != 0 ? code : errno;
      written = std::fclose(file.stream) == 0 && written;
      if (!written) {
        error = std::error_code(code != 0 ? code : EIO, std::generic_category());
      }
    }
    if (error) {
      throw ScratchFailed("write", copy.path, error);
    }
    return copy;
  }

  // The plugin's config.json becomes `copy`; without one there is no file, as on a server
  // whose file cannot be read.
  void PutConfig(const std::optional<ConfigCopy>& copy) const {
    const fs::path path = ConfigPathOf(root_.string());
    std::error_code error;
    fs::remove(path, error);
    if (!copy) {
      return;
    }
    // A second name for the copy costs nothing; a file system without links gets a copy.
    error.clear();
    fs::create_hard_link(copy->path, path, error);
    if (error) {
      error.clear();
      fs::copy_file(copy->path, path, error);
    }
    if (error) {
      throw ScratchFailed("write", path, error);
    }
  }

 private:
  fs::path root_;
  std::unique_ptr<RemovedOnSignal> removed_on_signal_;
};

// `path` open for copying, or null with the plain check's finding when it cannot be opened.
std::unique_ptr<Source> OpenSource(const fs::path& path, std::optional<Finding>& problem) {
  quorvane::ConfigFileOpen open = OpenConfigFile(path);
  auto source = std::make_unique<Source>();
  source->path = path;
  if (!open.problem) {
    open.stream.close();
    errno = 0;
    source->stream.open(path, std::ios::binary);
    if (!source->stream.is_open()) {
      open.problem = quorvane::ConfigFileProblem::OtherError;
      open.detail = std::error_code(errno != 0 ? errno : EIO, std::generic_category()).message();
    }
  }
  if (open.problem) {
    ConfigFileRead read;
    read.problem = open.problem;
    read.detail = std::move(open.detail);
    problem = OpenFailure(path, read);
    return nullptr;
  }
  std::error_code ignored;
  source->mode = fs::status(path, ignored).permissions();
  return source;
}

// What the check finds in a copy: the document as the plugin holds it, where each command
// stands, and the syntax error that keeps the plugin from reading it.
std::shared_ptr<const LoadedDocument> AnalyseCopy(const ConfigCopy& copy, bool excerpts,
                                                  PreviewedFile& file) {
  ConfigAnalysis analysis = AnalyseConfigFile(copy.path, excerpts);
  file.commands = std::move(analysis.commands);
  for (Finding& finding : analysis.findings) {
    if (finding.code == kParseError.code) {
      file.parse_error = std::move(finding);
      break;
    }
  }
  return std::move(analysis.document);
}

// The messages the plugin's own logger writes; it logs only a configuration that failed to load.
class PluginErrors {
 public:
  void Add(const LogLine& line) {
    if (line.logger == "Quorvane") {
      std::lock_guard<std::mutex> lock(mutex_);
      text_.append(text_.empty() ? "" : "; ").append(line.message);
    }
  }
  std::string Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(text_, {});
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

bool SameMessage(const ScreenMessage& a, const ScreenMessage& b) {
  // Bit for bit, so that a changed NaN or a zero's sign is a change too.
  const auto same_float = [](float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return a.kind == b.kind && a.text == b.text && a.bold == b.bold && a.sender == b.sender &&
         same_float(a.colour.R, b.colour.R) && same_float(a.colour.G, b.colour.G) &&
         same_float(a.colour.B, b.colour.B) && same_float(a.colour.A, b.colour.A) &&
         same_float(a.scale, b.scale) && same_float(a.time, b.time);
}

bool SameOutcome(const ProbeResult& a, const ProbeResult& b) {
  if (a.outcome != b.outcome || a.detail != b.detail || a.reason != b.reason ||
      a.messages.size() != b.messages.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.messages.size(); ++i) {
    if (!SameMessage(a.messages[i], b.messages[i])) {
      return false;
    }
  }
  return true;
}

void Compare(ReloadPreview& preview, std::vector<ProbeResult> before,
             std::vector<ProbeResult> after) {
  // Where each command stands in the current file: the first entry a restart registers for it.
  std::unordered_map<std::string, std::size_t> restart_position;
  for (std::size_t i = 0; i < preview.restart.chat_commands.size(); ++i) {
    restart_position.emplace(AsciiFolded(preview.restart.chat_commands[i]), i);
  }
  std::unordered_map<std::string, std::size_t> registered;
  for (std::size_t i = 0; i < before.size(); ++i) {
    CommandChange change;
    change.before = std::move(before[i]);
    change.after = i < after.size() ? std::move(after[i]) : ProbeResult{};
    const std::string own = AsciiFolded(change.before.command);
    const bool shadowed = !registered.emplace(own, i).second;
    // A restart that failed part-way registered only the entries before the failing one.
    const bool known = i < preview.restart.chat_commands.size();
    const bool other_entry = known && AsciiFolded(preview.restart.chat_commands[i]) != own;
    if (shadowed || change.before.outcome == ProbeResult::Outcome::Unreachable) {
      // An earlier registration answers every line typed for it, or no line reaches it: what
      // stands at its position, before or after, is never what players get.
      change.kind = CommandChange::Kind::Unreachable;
    } else if (change.after.outcome == ProbeResult::Outcome::Failed) {
      change.kind = CommandChange::Kind::Fails;
    } else if (other_entry) {
      change.kind = CommandChange::Kind::OtherEntry;
      change.answered_by = preview.restart.chat_commands[i];
    } else if (change.after.outcome == ProbeResult::Outcome::NothingSent &&
               change.before.outcome != ProbeResult::Outcome::NothingSent) {
      change.kind = CommandChange::Kind::SendsNothing;
    } else {
      change.kind = SameOutcome(change.before, change.after) ? CommandChange::Kind::Unchanged
                                                             : CommandChange::Kind::Updated;
    }
    if (change.kind == CommandChange::Kind::Fails ||
        change.kind == CommandChange::Kind::OtherEntry) {
      const auto found = restart_position.find(own);
      if (found != restart_position.end()) {
        change.now_at = found->second;
      }
    }
    preview.commands.push_back(std::move(change));
  }
  for (std::size_t i = 0; i < preview.restart.chat_commands.size(); ++i) {
    if (registered.emplace(AsciiFolded(preview.restart.chat_commands[i]), i).second) {
      preview.new_commands.push_back({i, preview.restart.chat_commands[i]});
    }
  }
}

}  // namespace

namespace {

// The preview played to its end, or until OLD or the scratch folder fails it.
ReloadPreview PlayPreview(const std::string& old_path, const std::string& server_dir,
                          const std::string& plugin_path, bool excerpts) {
  Host& host = Host::Instance();
  const auto errors = std::make_shared<PluginErrors>();
  host.SetSinks({MakeLogSink([errors](const LogLine& line) { errors->Add(line); })});

  ReloadPreview preview;
  preview.old_path = fs::path(old_path).generic_string();
  const fs::path config_path = ConfigPathOf(server_dir);
  preview.config_path = config_path.generic_string();
  const std::unique_ptr<Source> old_source = OpenSource(fs::u8path(old_path), preview.unreadable);
  if (!old_source) {
    return preview;
  }
  const std::unique_ptr<Source> new_source = OpenSource(config_path, preview.config_problem);

  ScratchServer scratch;
  const ConfigCopy old_copy = scratch.Keep(*old_source, kOldCopy, preview.unreadable);
  if (preview.unreadable) {
    return preview;
  }
  std::optional<ConfigCopy> new_copy;
  if (new_source) {
    new_copy = scratch.Keep(*new_source, kCurrentCopy, preview.config_problem);
    if (preview.config_problem) {
      new_copy.reset();
    }
  }

  // The documents as the plugin holds them, to explain what a command did, and where each
  // command stands in each file.
  const std::shared_ptr<const LoadedDocument> old_document =
      AnalyseCopy(old_copy, excerpts, preview.old_file);
  const std::shared_ptr<const LoadedDocument> new_document =
      new_copy ? AnalyseCopy(*new_copy, excerpts, preview.current_file) : nullptr;

  host.SetServerDir(scratch.Path());
  scratch.PutConfig(new_copy);
  LoadedPlugin::Load(plugin_path, preview.restart).reset();

  scratch.PutConfig(old_copy);
  std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(plugin_path, preview.start);
  errors->Take();
  if (!plugin) {
    return preview;
  }
  std::vector<ProbeResult> before = ProbeChatCommands(host, plugin->Path());
  ExplainProbes(before, old_document.get());

  scratch.PutConfig(new_copy);
  AShooterPlayerController& caller = host.Player("(operator)");
  caller.ClearScreen();
  const DispatchResult reload = host.DispatchConsole(&caller, kReloadCommandName);
  preview.reload_answer.assign(caller.Screen().begin(), caller.Screen().end());
  preview.reload_error = errors->Take();
  preview.reload_unregistered = reload.status == DispatchResult::Status::Unmatched;
  if (reload.status == DispatchResult::Status::Failed) {
    preview.reload_error = reload.error;
  }
  preview.reload_ok = preview.reload_error.empty() && !preview.reload_unregistered;

  // After a failed reload the last good configuration, the old one, is still in force.
  const LoadedDocument* in_force = (preview.reload_ok ? new_document : old_document).get();
  std::vector<ProbeResult> after = ProbeChatCommands(host, plugin->Path());
  ExplainProbes(after, in_force);
  plugin.reset();
  Compare(preview, std::move(before), std::move(after));
  return preview;
}

}  // namespace

ReloadPreview PreviewReload(const std::string& old_path, const std::string& server_dir,
                            const std::string& plugin_path, bool excerpts) {
  try {
    return PlayPreview(old_path, server_dir, plugin_path, excerpts);
  } catch (const PreviewStopped& stopped) {
    // The plugin's own failures are in the preview; these are the scratch folder's.
    ReloadPreview preview;
    preview.old_path = fs::u8path(old_path).generic_string();
    preview.config_path = ConfigPathOf(server_dir).generic_string();
    preview.unreadable = std::move(stopped.why);
    return preview;
  }
}

}  // namespace devhost
