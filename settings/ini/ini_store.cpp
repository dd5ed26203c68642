#include "kq/settings/ini/ini_store.hpp"

#include <utility>

#include "file_io.hpp"
#include "kq/settings/ini/document.hpp"
#include "kq/settings/section_name.hpp"

namespace kq::settings::ini {
namespace {

constexpr std::string_view file_name = "settings.ini";
constexpr std::string_view lock_name = "settings.ini.lock";

bool usable_as_folder_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

// A settings file that is a symbolic link (to a dotfiles repository, say) is
// replaced at its target, so the link stays.
std::filesystem::path write_target(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) return file;
  std::filesystem::path target = std::filesystem::canonical(file, error);
  return error ? file : target;
}

}  // namespace

IniStore::IniStore(IniOptions options) : options_(std::move(options)) {}

std::optional<std::filesystem::path> IniStore::app_folder(std::string_view app) const {
  if (!usable_as_folder_name(app)) return std::nullopt;
  const auto config = options_.config_folder ? options_.config_folder : user_config_folder();
  if (!config) return std::nullopt;
  return *config / std::string(app);
}

std::optional<std::filesystem::path> IniStore::file_path(std::string_view app) const {
  auto folder = app_folder(app);
  if (!folder) return std::nullopt;
  return *folder / std::string(file_name);
}

std::string IniStore::read(std::string_view app, std::string_view section, std::string_view key,
                           std::int16_t fallback) {
  if (const auto file = file_path(app)) {
    if (const FileContent content = read_whole_file(*file); content.outcome == FileContent::Outcome::read) {
      if (auto value = Document::parse(content.bytes).get(section, key)) return std::move(*value);
    }
  }
  return std::to_string(fallback);
}

void IniStore::write(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view text) {
  const auto folder = app_folder(app);
  if (!folder) throw WriteError("no folder for the settings of " + std::string(app));
  make_folders(*folder);
  const FileLock lock(*folder / std::string(lock_name), options_.step_hook);

  const std::filesystem::path file = write_target(*folder / std::string(file_name));
  const FileContent old = read_whole_file(file);
  if (old.outcome == FileContent::Outcome::unreadable)
    throw WriteError("cannot read " + file.string() + ", so it is left as it is");
  Document document = Document::parse(old.bytes);
  document.set(section, key, text);
  const std::string bytes = document.render();
  if (old.outcome == FileContent::Outcome::read && bytes == old.bytes) return;  // already stored
  replace_atomically(file, bytes, options_.step_hook);
}

std::string IniStore::current_section() {
  return name_without_extension(options_.program_name ? options_.program_name() : started_program_name());
}

}  // namespace kq::settings::ini
