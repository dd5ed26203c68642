#include <errno.h>  // program_invocation_name
#include <pwd.h>
#include <stdlib.h>  // getprogname
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "kq/settings/ini/ini_store.hpp"
#include "kq/settings/section_name.hpp"

namespace kq::settings::ini {
namespace {

std::string_view last_part(std::string_view path) {
  if (const auto slash = path.rfind('/'); slash != std::string_view::npos) path.remove_prefix(slash + 1);
  return path;
}

std::string_view invoked_name() {
#if defined(__linux__)
  return program_invocation_name != nullptr ? program_invocation_name : "";
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__) || \
    defined(__DragonFly__)
  const char* name = getprogname();
  return name != nullptr ? name : "";
#else
  return "";
#endif
}

std::string executable_name() {
  char buffer[4096];
  const ssize_t size = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (size <= 0) return {};
  std::string_view name = last_part(std::string_view(buffer, static_cast<std::size_t>(size)));
  // The link of a program whose file was deleted while it runs.
  if (constexpr std::string_view deleted = " (deleted)"; name.ends_with(deleted)) name.remove_suffix(deleted.size());
  return std::string(name);
}

}  // namespace

std::string started_program_name() {
  if (const std::string_view name = last_part(invoked_name()); !name.empty()) return std::string(name);
  if (std::string name = executable_name(); !name.empty()) return name;
  return std::string(fallback_program);
}

std::optional<std::filesystem::path> user_config_folder() {
  // A relative XDG path is to be ignored: it would depend on the working folder.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
    return std::filesystem::path(xdg);
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
    return std::filesystem::path(home) / ".config";
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr &&
                                                      entry->pw_dir[0] == '/')
    return std::filesystem::path(entry->pw_dir) / ".config";
  return std::nullopt;
}

}  // namespace kq::settings::ini
