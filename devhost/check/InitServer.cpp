#include "devhost/check/InitServer.h"

#include <system_error>

#include "devhost/check/ConfigCheck.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;

// Whether the file ends up in place; says which way on `out`, or why not on `err`.
bool PlaceStarterFile(const fs::path& source, const fs::path& target, std::ostream& out,
                      std::ostream& err) {
  std::error_code error;
  // A link, even a dangling one, is the operator's: symlink_status does not follow it.
  const fs::file_status existing = fs::symlink_status(target, error);
  if (fs::exists(existing)) {
    if (fs::is_directory(existing)) {
      err << "devhost --init: " << target.u8string() << " is a folder, not a file; remove it or "
          << "put a file there yourself\n";
      return false;
    }
    out << "kept    " << target.u8string() << ": a file is already there (not overwritten)\n";
    return true;
  }
  if (!fs::is_regular_file(source, error)) {
    err << "devhost --init: the starter file " << source.u8string()
        << " is missing; unpack the toolkit again\n";
    return false;
  }
  fs::create_directories(target.parent_path(), error);
  if (error) {
    err << "devhost --init: cannot create " << target.parent_path().u8string() << ": "
        << error.message() << "\n";
    return false;
  }
  // copy_options::none refuses an existing target, so a file that appeared since the look
  // above is kept as well.
  if (!fs::copy_file(source, target, fs::copy_options::none, error)) {
    if (error == std::errc::file_exists) {
      out << "kept    " << target.u8string() << ": a file is already there (not overwritten)\n";
      return true;
    }
    err << "devhost --init: cannot copy " << source.u8string() << " to " << target.u8string()
        << ": " << error.message() << "\n";
    return false;
  }
  out << "copied  " << target.u8string() << " (from " << source.u8string() << ")\n";
  return true;
}

}  // namespace

int InitServer(const std::string& server_dir, const fs::path& starter_dir, std::ostream& out,
               std::ostream& err) {
  const fs::path config = ConfigPathOf(server_dir);
  bool placed = PlaceStarterFile(starter_dir / "config.json", config, out, err);
  placed &= PlaceStarterFile(starter_dir / "config.schema.json",
                             config.parent_path() / "config.schema.json", out, err);
  return placed ? 0 : 1;
}

}  // namespace devhost
