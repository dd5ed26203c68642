#include "kq/settings/section_name.hpp"

namespace kq::settings {

std::string name_without_extension(std::string_view file_name) {
  // A leading dot marks a hidden name, not an extension.
  if (const auto dot = file_name.rfind('.'); dot != std::string_view::npos && dot > 0)
    file_name = file_name.substr(0, dot);
  return std::string(file_name);
}

}  // namespace kq::settings
