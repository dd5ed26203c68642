#include "kq/ui/stored_values.hpp"

#include "kq/settings/store.hpp"

namespace kq::ui {

std::int16_t stored_option(settings::Settings& settings, const settings::Key& key) {
  const std::int16_t value = settings.read_option(key);
  return value >= 0 && value <= 2 ? value : key.fallback;
}

// A failed write keeps what was stored before; the other keys still matter more
// than this one, so the behaviour carries on.
void store_placement(settings::Settings& settings, const settings::Key& key, float value) {
  try {
    settings.write_placement(key, value);
  } catch (const settings::WriteError&) {
  }
}

void store_option(settings::Settings& settings, const settings::Key& key, int value) {
  try {
    settings.write_option(key, static_cast<std::int16_t>(value));
  } catch (const settings::WriteError&) {
  }
}

}  // namespace kq::ui
