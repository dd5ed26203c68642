#pragma once
// The per-user settings store: text values addressed by application, section
// and key. Nothing is cached; every call goes to the medium.

#include <cstdint>
#include <string>
#include <string_view>

#include "kq/failure.hpp"

namespace kq::settings {

inline constexpr std::string_view application = "KQ_REZ";

// A write the medium could not make; what was stored before is kept.
class WriteError : public Failure {
 public:
  using Failure::Failure;
};

class Store {
 public:
  virtual ~Store() = default;

  // The stored text, or the default's decimal text when the key is missing
  // (or cannot be read).
  virtual std::string read(std::string_view app, std::string_view section, std::string_view key,
                           std::int16_t fallback) = 0;

  // Creates application, section and key as needed; throws WriteError.
  virtual void write(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view text) = 0;

  // The running program's file name without extension, found anew each call.
  virtual std::string current_section() = 0;
};

}  // namespace kq::settings
