#pragma once
// How both windows meet the settings store when a stored value or a write
// goes wrong: the program shows no message of its own, so a bad value reads
// as its key's default and a failed write loses that one key, and the
// behaviour goes on with its next step either way.

#include <cstdint>

#include "kq/settings/keys.hpp"

namespace kq::ui {

// A stored option as a tick box takes it: text that does not convert, and a
// value a tick box would refuse (anything but 0, 1 and 2), read as the default.
std::int16_t stored_option(settings::Settings& settings, const settings::Key& key);

void store_placement(settings::Settings& settings, const settings::Key& key, float value);
void store_option(settings::Settings& settings, const settings::Key& key, int value);

}  // namespace kq::ui
