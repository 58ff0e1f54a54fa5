#pragma once
// What the tools ask of the system for the files they make, where Linux and Windows differ:
// new files that never replace one, moves that never replace one, private folders, and
// removing what is left half-made when a signal ends the program.

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace devhost {

struct NewFile {
  std::filesystem::path path;
  std::FILE* stream = nullptr;  // open for writing, binary; null when it could not be made
  std::error_code error;
};

// Whether a file opened in text mode reads a CR LF pair as one LF, as Windows' C library does.
#if defined(_WIN32)
inline constexpr bool kTextModeJoinsCrLf = true;
#else
inline constexpr bool kTextModeJoinsCrLf = false;
#endif

// Opens `path` for writing, as it is (no temporary file): binary, emptied first, or with
// `keep` left as it is. Null, with errno set, when it cannot.
std::FILE* OpenForWriting(const std::filesystem::path& path, bool keep = false);

// The program's standard output or error when `path` names the same file, else null.
std::FILE* StandardStreamNamed(const std::filesystem::path& path);

// `path` itself, made by this call alone (never a file that is there already) and open for
// writing. POSIX gives it `mode` less the umask from the start; Windows ignores `mode`.
NewFile CreateNewFile(const std::filesystem::path& path, int mode);

// A file of a fresh name beside `target` (in its folder, named after it), made by this call
// alone and open for writing. POSIX gives it `mode` less the umask; Windows ignores `mode`.
NewFile CreateFileBeside(const std::filesystem::path& target, int mode);

// Gives `from` the name `to` when nothing is there, in one step that never replaces a file
// that appeared meanwhile. Returns std::errc::file_exists when something is; `from` is then
// left as it is.
std::error_code MoveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

// Where the system keeps temporary files: TMPDIR, else /tmp, on POSIX; on Windows, what it
// says (TMP, TEMP, ...). Whether it can be used shows when something is made there.
std::filesystem::path TemporaryFolder();

// A new folder of a fresh name under `parent` that only this user can enter (0700).
std::filesystem::path CreatePrivateFolder(const std::filesystem::path& parent, const char* prefix,
                                          std::error_code& error);

// While one lives, the ending signals (EndingSignals.h) first remove `paths` (files, or empty
// folders, in the order given) and then end the program by that signal. The paths are copied
// now, as a handler may build nothing. One at a time.
class RemovedOnSignal {
 public:
  explicit RemovedOnSignal(const std::vector<std::filesystem::path>& paths);
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;
  ~RemovedOnSignal();
};

// A write beyond the file size limit, or to a pipe whose reader is gone, fails with an error
// instead of ending the program by a signal, so the half-written file can be removed and the
// failure reported.
void FailWritesInsteadOfEnding();

// Puts a read-only null device on each of standard input, output and error that the program
// was started with closed, so no file it opens later takes that descriptor: a page opened while
// standard output is closed would otherwise receive the report. Writes to it fail, as writes
// to a closed output do.
void FillClosedStandardDescriptors();

}  // namespace devhost
