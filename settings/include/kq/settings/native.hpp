#pragma once
// The per-user store of this build: the registry on Windows, an INI file in
// the XDG config directory elsewhere.

#include <memory>

#include "kq/settings/store.hpp"

namespace kq::settings {

std::unique_ptr<Store> open_native_store();

}  // namespace kq::settings
