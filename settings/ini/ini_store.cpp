#include "kq/settings/ini/ini_store.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "file_io.hpp"
#include "kq/settings/ini/document.hpp"
#include "kq/settings/ini/escape.hpp"
#include "kq/settings/section_name.hpp"

namespace kq::settings::ini {
namespace {

const std::string file_name = "settings.ini";

// A write into a folder that was refused: said once for the folder, not
// again for every key.
class FolderRefused : public WriteError {
 public:
  using WriteError::WriteError;
};

bool usable_as_folder_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

void to_stderr(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

IniStore::IniStore(IniOptions options)
    : options_(std::move(options)),
      patience_(std::make_unique<LockPatience>(
          options_.lock_patience,
          options_.clock ? options_.clock : [] { return std::chrono::steady_clock::now(); },
          options_.pause ? options_.pause : interruptible_pause)) {}

IniStore::~IniStore() = default;
IniStore::IniStore(IniStore&&) noexcept = default;
IniStore& IniStore::operator=(IniStore&&) noexcept = default;

std::optional<std::filesystem::path> IniStore::app_folder(std::string_view app) const {
  if (!usable_as_folder_name(app)) return std::nullopt;
  const auto config = options_.config_folder ? options_.config_folder : user_config_folder();
  if (!config) return std::nullopt;
  return *config / std::string(app);
}

std::optional<std::filesystem::path> IniStore::file_path(std::string_view app) const {
  auto folder = app_folder(app);
  if (!folder) return std::nullopt;
  return *folder / file_name;
}

void IniStore::say(const std::string& line) const {
  if (options_.report) {
    options_.report(line);
  } else {
    to_stderr(line);
  }
}

void IniStore::say_refused(const std::filesystem::path& folder, const std::string& reason) {
  if (refusal_said_ == folder) return;
  refusal_said_ = folder;
  say(std::string(application) + ": the settings folder " + folder.string() + " is not used, as " + reason +
      "; no setting is read from it or saved to it");
}

std::string IniStore::read(std::string_view app, std::string_view section, std::string_view key,
                           std::int16_t fallback) {
  if (const auto path = app_folder(app)) {
    AppFolder opened = open_app_folder(*path);
    if (opened.outcome == AppFolder::Outcome::refused) say_refused(*path, opened.reason);
    if (opened.outcome == AppFolder::Outcome::open) {
      try {
        // Where a write would land, so a value read is the value written.
        const FileContent content = read_file(file_target(opened.folder, file_name));
        if (content.outcome == FileContent::Outcome::read) {
          if (auto value = find_value(content.bytes, section, key)) return std::move(*value);
        }
      } catch (const WriteError&) {
        // A link that leads nowhere usable: nothing stored.
      }
    }
  }
  return std::to_string(fallback);
}

void IniStore::write(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view text) {
  try {
    write_or_throw(app, section, key, text);
  } catch (const FolderRefused&) {
    throw;
  } catch (const WriteError& error) {
    say(std::string(application) + ": cannot save " + escape_key(key) + ": " + error.what());
    throw;
  }
}

void IniStore::write_or_throw(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view text) {
  const auto path = app_folder(app);
  if (!path) throw WriteError("no folder for the settings of " + escape_section(app));
  make_folders(*path);
  AppFolder opened = open_app_folder(*path);
  if (opened.outcome == AppFolder::Outcome::refused) {
    say_refused(*path, opened.reason);
    throw FolderRefused("the settings folder " + path->string() + " is not used, as " + opened.reason);
  }
  if (opened.outcome != AppFolder::Outcome::open)
    throw WriteError("cannot open the folder " + path->string() + ": " + opened.reason);

  const Target target = file_target(opened.folder, file_name);
  const FolderLock lock(target.folder, *patience_, options_.step_hook);
  const std::filesystem::path file = target.folder.path() / target.name;
  FileContent old = read_file(target);
  if (old.outcome == FileContent::Outcome::unreadable)
    throw WriteError("cannot read " + file.string() + ", so it is left as it is");
  Document document = Document::parse(std::move(old.bytes));
  if (!document.set(section, key, text) && old.outcome == FileContent::Outcome::read) return;  // already stored
  // A file this store would refuse to read back would lose every setting.
  if (document.render().size() > max_file_size)
    throw WriteError(file.string() + " would grow beyond " + std::to_string(max_file_size) +
                     " bytes, more than is read back");
  replace_atomically(target, document.render(), lock.held(), options_.step_hook);
}

std::string IniStore::current_section() {
  return name_without_extension(options_.program_name ? options_.program_name() : started_program_name());
}

}  // namespace kq::settings::ini
