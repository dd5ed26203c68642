#pragma once
// The settings store of Windows: HKEY_CURRENT_USER\Software\<application>\<section>,
// one REG_SZ value per key, through the wide-character registry functions so
// any program name works. Texts cross this interface as UTF-8 (WTF-8 for a
// file name holding an unpaired surrogate, so every name round-trips).

#include <cstdint>
#include <string>
#include <string_view>

#include "kq/settings/store.hpp"

namespace kq::settings::registry {

class RegistryStore final : public Store {
 public:
  std::string read(std::string_view app, std::string_view section, std::string_view key,
                   std::int16_t fallback) override;
  void write(std::string_view app, std::string_view section, std::string_view key,
             std::string_view text) override;
  // The executable's file name (GetModuleFileNameW) without its extension.
  std::string current_section() override;
};

}  // namespace kq::settings::registry
