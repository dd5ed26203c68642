#include "kq/settings/keys.hpp"

#include "kq/settings/values.hpp"

namespace kq::settings {

float Settings::read_placement(const Key& key) {
  const std::string section = store_.current_section();
  return to_placement(store_.read(application, section, key.name, key.fallback), static_cast<float>(key.fallback));
}

std::int16_t Settings::read_option(const Key& key) {
  const std::string section = store_.current_section();
  return to_option(store_.read(application, section, key.name, key.fallback), key.fallback);
}

void Settings::write_placement(const Key& key, float value) {
  const std::string section = store_.current_section();
  store_.write(application, section, key.name, placement_text(value));
}

void Settings::write_option(const Key& key, std::int16_t value) {
  const std::string section = store_.current_section();
  store_.write(application, section, key.name, option_text(value));
}

}  // namespace kq::settings
