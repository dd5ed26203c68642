#include "kq/settings/native.hpp"

#include "kq/settings/ini/ini_store.hpp"

namespace kq::settings {

std::unique_ptr<Store> open_native_store() { return std::make_unique<ini::IniStore>(); }

}  // namespace kq::settings
