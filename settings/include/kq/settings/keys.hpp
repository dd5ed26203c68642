#pragma once
// The ten keys the windows keep, with their defaults, and the one place that
// addresses them under the application and the current section.

#include <cstdint>
#include <string>
#include <string_view>

#include "kq/settings/store.hpp"

namespace kq::settings {

struct Key {
  std::string_view name;
  std::int16_t fallback;
};

inline constexpr Key MAIN_Left{"MAIN_Left", 1000};
inline constexpr Key MAIN_Top{"MAIN_Top", 1000};
inline constexpr Key MAIN_Width{"MAIN_Width", 4410};
inline constexpr Key MAIN_Height{"MAIN_Height", 350};
inline constexpr Key ABOUT_Left{"ABOUT_Left", 1000};
inline constexpr Key ABOUT_Top{"ABOUT_Top", 1000};
inline constexpr Key ABOUT_Width{"ABOUT_Width", 8730};
inline constexpr Key ABOUT_Height{"ABOUT_Height", 2415};
inline constexpr Key AlwaysOnTop_TICKBOX{"AlwaysOnTop_TICKBOX", 1};
inline constexpr Key AUTOSTART_TICKBOX{"AUTOSTART_TICKBOX", 1};

// One read or write at a time, the section fetched anew for each.
class Settings {
 public:
  explicit Settings(Store& store) : store_(store) {}

  float read_placement(const Key& key);     // default on a text that does not convert
  std::int16_t read_option(const Key& key);  // default on a text that does not convert
  void write_placement(const Key& key, float value);
  void write_option(const Key& key, std::int16_t value);

  Store& store() { return store_; }

 private:
  Store& store_;
};

}  // namespace kq::settings
