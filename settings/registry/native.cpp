#include "kq/settings/native.hpp"

#include "kq/settings/registry/registry_store.hpp"

namespace kq::settings {

std::unique_ptr<Store> open_native_store() { return std::make_unique<registry::RegistryStore>(); }

}  // namespace kq::settings
