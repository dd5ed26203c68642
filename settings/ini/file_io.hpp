#pragma once
// The file system steps of the INI store, each reporting failure by
// WriteError with the system's reason.

#include <filesystem>
#include <string>
#include <string_view>

#include "kq/settings/ini/ini_store.hpp"

namespace kq::settings::ini {

struct FileContent {
  enum class Outcome { read, missing, unreadable } outcome;
  std::string bytes;
};

// Never blocks (a FIFO in its place counts as unreadable) and never reads
// more than max_file_size.
FileContent read_whole_file(const std::filesystem::path& file);

// Creates each missing folder of the path with mode 0700.
void make_folders(const std::filesystem::path& folder);

// An exclusive advisory lock held for its lifetime; gives up after a few
// seconds so a hung copy of the program cannot hang this one.
class FileLock {
 public:
  FileLock(const std::filesystem::path& lock_file, const StepHook& hook);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int descriptor_ = -1;
};

// The file's content becomes bytes, or stays as it was: the new content goes
// to an exclusively created temporary file in the same folder, is synced, and
// is renamed over the file. Temporary files that a killed writer left behind
// are removed first (call this only under the lock).
void replace_atomically(const std::filesystem::path& file, std::string_view bytes, const StepHook& hook);

}  // namespace kq::settings::ini
