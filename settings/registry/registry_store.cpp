#include "kq/settings/registry/registry_store.hpp"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <vector>

#include "kq/settings/section_name.hpp"
#include "wide_text.hpp"

namespace kq::settings::registry {
namespace {

std::wstring key_path(std::string_view app, std::string_view section) {
  return L"Software\\" + to_wide(app) + L"\\" + to_wide(section);
}

class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The REG_SZ text of the value, up to its first NUL; none for a missing
// value, another type, or a value that keeps changing under us.
std::optional<std::wstring> query_text(HKEY key, const std::wstring& name) {
  DWORD size = 0;
  DWORD type = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LONG result =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (result == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::wstring text(buffer.data(), got / sizeof(wchar_t));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
    return text;
  }
  return std::nullopt;
}

std::string error_text(LONG error) { return "registry error " + std::to_string(error); }

}  // namespace

std::string RegistryStore::read(std::string_view app, std::string_view section, std::string_view key,
                                std::int16_t fallback) {
  OpenKey open;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_path(app, section).c_str(), 0, KEY_QUERY_VALUE, open.out()) ==
      ERROR_SUCCESS) {
    if (const auto text = query_text(open.get(), to_wide(key))) return from_wide(*text);
  }
  return std::to_string(fallback);
}

void RegistryStore::write(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view text) {
  OpenKey open;
  const LONG created = RegCreateKeyExW(HKEY_CURRENT_USER, key_path(app, section).c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, open.out(), nullptr);
  if (created != ERROR_SUCCESS) throw WriteError("cannot create the settings key: " + error_text(created));
  const std::wstring value = to_wide(text);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const LONG set = RegSetValueExW(open.get(), to_wide(key).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  if (set != ERROR_SUCCESS) throw WriteError("cannot store " + std::string(key) + ": " + error_text(set));
}

std::string RegistryStore::current_section() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string(fallback_program);
    if (length < buffer.size()) {
      std::wstring_view path(buffer.data(), length);
      if (const auto slash = path.find_last_of(L"\\/"); slash != std::wstring_view::npos)
        path.remove_prefix(slash + 1);
      return name_without_extension(from_wide(path));
    }
    if (buffer.size() >= 65536) return std::string(fallback_program);
    buffer.resize(buffer.size() * 2);  // the name was cut short
  }
}

}  // namespace kq::settings::registry
