#pragma once
// The settings store of Linux and other Unix systems: one INI file,
// <config>/KQ_REZ/settings.ini, where <config> is $XDG_CONFIG_HOME when it is
// an absolute path, else ~/.config. One [section] per program name.
//
// The KQ_REZ folder must be this user's own and writable by no one else: a
// folder another user made or can change (a shared config folder) may hold
// links planted to redirect the writes, so nothing is read from it or written
// to it, and that is said once on stderr. Inside the user's own folder a
// settings.ini that is a symbolic link (to a dotfiles repository, say) is
// followed, and the file at its end is the one locked and replaced.
//
// Reading takes no lock: the file is only ever replaced whole, by rename, so a
// reader sees the old file or the new one. Writing is a read-modify-write of
// the whole file under an advisory lock on the folder of the file written,
// through a temporary file created exclusively in that folder, written,
// synced, renamed over the file, and the folder synced. A write that cannot
// be made is said on stderr, one line with the key and the reason, besides
// the WriteError.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "kq/settings/store.hpp"

namespace kq::settings::ini {

// The steps of one write, in order, for fault injection.
enum class WriteStep {
  lock,         // taking the advisory lock
  create_temp,  // creating the temporary file
  write_temp,   // writing its second half (the first half is already written)
  sync_temp,    // flushing it to the disk
  rename,       // putting it in place of the settings file
  sync_folder,  // flushing the folder entry
};

// Called before each step (the lock step before each attempt); 0 lets the
// step run, an errno makes it fail the way the system would refuse it:
// EWOULDBLOCK on the lock is a lock held elsewhere, ENOLCK a file system
// without locks. A hook may also end the process to simulate a crash.
using StepHook = std::function<int(WriteStep)>;

struct IniOptions {
  // The config folder (the parent of KQ_REZ/); unset: found from the
  // environment at every access.
  std::optional<std::filesystem::path> config_folder;
  // The program's file name; unset: the name this process was started under,
  // found at every access.
  std::function<std::string()> program_name;
  StepHook step_hook;
  // The longest that the writes coming close together (the four of one
  // shutdown) wait in all for a lock another program holds. A signal ends the
  // wait at once, and the writes after it do not wait.
  std::chrono::milliseconds lock_patience{1000};
  // The clock and the pause of that wait (the pause returns false when a
  // signal cut it short); unset: the steady clock and a real pause.
  std::function<std::chrono::steady_clock::time_point()> clock;
  std::function<bool(std::chrono::milliseconds)> pause;
  // Where the lines about lost saves and refused folders go; unset: stderr.
  std::function<void(std::string_view line)> report;
};

class LockPatience;

class IniStore final : public Store {
 public:
  explicit IniStore(IniOptions options = {});
  ~IniStore() override;
  IniStore(IniStore&&) noexcept;
  IniStore& operator=(IniStore&&) noexcept;

  std::string read(std::string_view app, std::string_view section, std::string_view key,
                   std::int16_t fallback) override;
  void write(std::string_view app, std::string_view section, std::string_view key,
             std::string_view text) override;
  std::string current_section() override;

  // Where the file of that application lives now; none when no config folder
  // can be found or the application name cannot be a folder name.
  std::optional<std::filesystem::path> file_path(std::string_view app) const;

 private:
  std::optional<std::filesystem::path> app_folder(std::string_view app) const;
  void write_or_throw(std::string_view app, std::string_view section, std::string_view key, std::string_view text);
  void say(const std::string& line) const;
  void say_refused(const std::filesystem::path& folder, const std::string& reason);

  IniOptions options_;
  std::unique_ptr<LockPatience> patience_;
  std::optional<std::filesystem::path> refusal_said_;
};

// $XDG_CONFIG_HOME when absolute, else $HOME/.config, else the password
// entry's home folder + /.config.
std::optional<std::filesystem::path> user_config_folder();

// The name this process was started under (argv[0]'s last part), so a copy,
// a hard link or a symbolic link each count as their own program; falls back
// to /proc/self/exe, then to "KQ-REZ-V1".
std::string started_program_name();

// Largest settings file read; a bigger file reads as empty and refuses writes
// (rewriting it could not keep what it holds), and no write makes the file
// bigger than this.
inline constexpr std::size_t max_file_size = 4 * 1024 * 1024;

}  // namespace kq::settings::ini
