#pragma once
// The settings store of Linux and other Unix systems: one INI file,
// <config>/KQ_REZ/settings.ini, where <config> is $XDG_CONFIG_HOME when it is
// an absolute path, else ~/.config. One [section] per program name.
//
// Reading takes no lock: the file is only ever replaced whole, by rename, so a
// reader sees the old file or the new one. Writing is a read-modify-write of
// the whole file under an advisory lock on settings.ini.lock, through a
// temporary file created exclusively in the file's own folder, written,
// synced, renamed over the file, and the folder synced.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
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

// Called before each step; returning true makes that step fail the way the
// system would refuse it. A hook may also end the process to simulate a crash.
using StepHook = std::function<bool(WriteStep)>;

struct IniOptions {
  // The config folder (the parent of KQ_REZ/); unset: found from the
  // environment at every access.
  std::optional<std::filesystem::path> config_folder;
  // The program's file name; unset: the name this process was started under,
  // found at every access.
  std::function<std::string()> program_name;
  StepHook step_hook;
};

class IniStore final : public Store {
 public:
  explicit IniStore(IniOptions options = {});

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

  IniOptions options_;
};

// $XDG_CONFIG_HOME when absolute, else $HOME/.config, else the password
// entry's home folder + /.config.
std::optional<std::filesystem::path> user_config_folder();

// The name this process was started under (argv[0]'s last part), so a copy,
// a hard link or a symbolic link each count as their own program; falls back
// to /proc/self/exe, then to "KQ-REZ-V1".
std::string started_program_name();

// Largest settings file read; a bigger file reads as empty and refuses writes
// (rewriting it could not keep what it holds).
inline constexpr std::size_t max_file_size = 4 * 1024 * 1024;

}  // namespace kq::settings::ini
