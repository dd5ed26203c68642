#pragma once
// Wraps a store and reports every read and write, in order, as one line:
//   read MAIN_Left -> 1000
//   write MAIN_Left 1000
//   write MAIN_Left 1000 -> failed     (the write threw WriteError)
// Control characters in keys and texts are shown as \xHH so a line stays one
// line. Asking for the current section is not an access and is not reported.

#include <functional>
#include <string>
#include <string_view>

#include "kq/settings/store.hpp"

namespace kq::settings {

using AccessSink = std::function<void(std::string_view line)>;

class RecordingStore final : public Store {
 public:
  RecordingStore(Store& inner, AccessSink sink);

  std::string read(std::string_view app, std::string_view section, std::string_view key,
                   std::int16_t fallback) override;
  void write(std::string_view app, std::string_view section, std::string_view key,
             std::string_view text) override;
  std::string current_section() override;

 private:
  Store& inner_;
  AccessSink sink_;
};

// The text with control characters (and DEL) as \xHH; other bytes as they are.
std::string printable(std::string_view text);

}  // namespace kq::settings
