#pragma once
// The file system steps of the INI store, each reporting failure by
// WriteError with the system's reason. Every step after a folder is opened
// goes through the folder's descriptor, so renaming or replacing the folder
// under a running write changes nothing about where the write lands.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "kq/settings/ini/ini_store.hpp"

namespace kq::settings::ini {

// An open folder, closed with the object.
class Folder {
 public:
  Folder() = default;
  Folder(int descriptor, std::filesystem::path path) : descriptor_(descriptor), path_(std::move(path)) {}
  ~Folder();
  Folder(Folder&& other) noexcept;
  Folder& operator=(Folder&& other) noexcept;

  int descriptor() const { return descriptor_; }
  const std::filesystem::path& path() const { return path_; }
  explicit operator bool() const { return descriptor_ >= 0; }

 private:
  int descriptor_ = -1;
  std::filesystem::path path_;
};

// The application's own folder, as found on the disk.
struct AppFolder {
  enum class Outcome { open, missing, refused } outcome;
  Folder folder;
  std::string reason;  // why it was refused, or could not be opened
};

// Opens the folder when this user owns it and no one else can write to it: a
// folder that others can change may hold links they planted. A symbolic link
// in its place is followed only when this user made it.
AppFolder open_app_folder(const std::filesystem::path& folder);

// Creates each missing folder of the path with mode 0700.
void make_folders(const std::filesystem::path& folder);

// The file that is read and written: the file itself, or, when it is a
// symbolic link (the app folder is this user's own, so the user made it),
// the file at the end of the link, in that file's own folder.
struct Target {
  Folder folder;
  std::string name;
};
Target file_target(const Folder& folder, const std::string& name);

struct FileContent {
  enum class Outcome { read, missing, unreadable } outcome;
  std::string bytes;
};

// Never blocks (a FIFO in its place counts as unreadable), never follows a
// link and never reads more than max_file_size.
FileContent read_file(const Target& file);

// How long writes may wait for a lock held by another program, shared by the
// writes that come close together (the four of one shutdown): the patience
// one wait uses up comes back slowly, over half a minute.
class LockPatience {
 public:
  using Clock = std::chrono::steady_clock;
  LockPatience(std::chrono::milliseconds budget, std::function<Clock::time_point()> now,
               std::function<bool(std::chrono::milliseconds)> pause);

  Clock::time_point now() const { return now_(); }
  // The time the next wait may last.
  Clock::duration available();
  void spend(Clock::duration waited);
  // A pause a signal cut short: the program is being asked to stop, so the
  // writes still to come do not wait either.
  void exhaust();
  // false when cut short by a signal.
  bool pause(std::chrono::milliseconds length) const { return pause_(length); }

 private:
  Clock::duration budget_;
  Clock::duration left_;
  Clock::time_point counted_at_{};
  bool counted_ = false;
  std::function<Clock::time_point()> now_;
  std::function<bool(std::chrono::milliseconds)> pause_;
};

// Sleeps, but returns false at once when a signal arrives.
bool interruptible_pause(std::chrono::milliseconds length);

// An exclusive advisory lock on a folder, held for the object's lifetime. The
// folder is locked rather than a lock file in it: any user who can write the
// folder can open it, while a lock file left by another user (a run under
// sudo) could block saving for good.
class FolderLock {
 public:
  FolderLock(const Folder& folder, LockPatience& patience, const StepHook& hook);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // false on a file system without locks, where writes go on unlocked.
  bool held() const { return held_; }

 private:
  int descriptor_ = -1;
  bool held_ = false;
};

// The file's content becomes bytes, or stays as it was: the new content goes
// to an exclusively created temporary file in the same folder, is synced, and
// is renamed over the file, and the folder is synced. When the folder is
// locked, temporary files of this user that a killed writer left behind are
// removed first.
void replace_atomically(const Target& target, std::string_view bytes, bool locked, const StepHook& hook);

}  // namespace kq::settings::ini
